// The text, JSON Lines and CSV shapes of a read image.
#include <gtest/gtest.h>

#include "output_format.h"

using namespace platix;

namespace {

ImageResult sample_result() {
    ImageResult r;
    r.path = "dir/car.png", r.status = ImageStatus::ok, r.ms = 12;
    r.width = 200, r.height = 100, r.maxcol = 600, r.maxlin = 300, r.xscale = r.yscale = 3;
    r.fields.resize(2);
    FieldResult& f = r.fields[0];
    f.text = "AB 1", f.raw = "A_B_ _1_", f.file_box = {10, 20, 60, 35}, f.chars.resize(2);
    f.chars[0].c = "A", f.chars[0].file_box = {10, 20, 20, 35}, f.chars[1].c = "B", f.chars[1].file_box = {22, 20, 31, 35};
    r.fields[1].text = "X,\"Y\"", r.fields[1].file_box = {1, 2, 3, 4};
    return r;
}

}  // namespace

TEST(JsonOutput, ObjectHasEveryKeyInOrderAndTextJoinsTheFields) {
    EXPECT_EQ(format_text_line(sample_result()), "dir/car.png\tAB 1 | X,\"Y\"\n");
    const std::string want =
        "{\"file\": \"dir/car.png\", \"ok\": true, \"width\": 200, \"height\": 100, \"page\": [600, 300], "
        "\"scale\": [3, 3], \"ms\": 12, \"analysis\": \"extended\", \"fields\": [{\"text\": \"AB 1\", \"raw\": \"A_B_ _1_\", \"box\": [10, 20, 60, "
        "35], \"chars\": [{\"c\": \"A\", \"box\": [10, 20, 20, 35]}, {\"c\": \"B\", \"box\": [22, 20, 31, 35]}]}, "
        "{\"text\": \"X,\\\"Y\\\"\", \"raw\": \"\", \"box\": [1, 2, 3, 4], \"chars\": []}]}\n";
    EXPECT_EQ(format_json_line(sample_result(), AnalysisKind::extended), want);
}

TEST(JsonOutput, FailedImageWithItsNameInUtf8AndControlsEscaped) {
    ImageResult bad;
    bad.path = "\xC4\n.png", bad.error = "[\x80]";
    EXPECT_EQ(format_json_line(bad, AnalysisKind::extended),
              "{\"file\": \"\xC3\x84\\n.png\", \"ok\": false, \"error\": \"[\xE2\x82\xAC]\"}\n");
}

TEST(JsonString, EscapesAndConvertsWindows1252) {
    // Ä and the euro sign in Windows-1252, valid UTF-8 that passes, an undefined byte.
    const std::pair<const char*, const char*> cases[] = {{"a\"b\\c\n\t", "\"a\\\"b\\\\c\\u000a\\u0009\""},
        {"\xC4", "\"\xC3\x84\""}, {"\x80", "\"\xE2\x82\xAC\""}, {"\xC3\xA9", "\"\xC3\xA9\""}, {"\x81", "\"\xEF\xBF\xBD\""}};
    for (const auto& [in, out] : cases) EXPECT_EQ(json_string(in), out);
}

TEST(CsvOutput, OneRowPerFieldAndOnePerImageWithoutFieldOrFailed) {
    EXPECT_EQ(csv_header(), "file,field,text,left,top,right,bottom,error\n");
    EXPECT_EQ(format_csv_rows(sample_result()),
              "dir/car.png,1,AB 1,10,20,60,35,\n"
              "dir/car.png,2,\"X,\"\"Y\"\"\",1,2,3,4,\n");
    ImageResult empty = sample_result();
    empty.fields.clear();
    EXPECT_EQ(format_csv_rows(empty), "dir/car.png,0,,,,,,\n");
    ImageResult bad;
    bad.path = "x", bad.error = "damaged JPEG file: premature end, \"sort of\"";
    EXPECT_EQ(format_csv_rows(bad), "x,,,,,,,\"damaged JPEG file: premature end, \"\"sort of\"\"\"\n");
}
