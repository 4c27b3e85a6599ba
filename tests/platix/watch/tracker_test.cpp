// Passages: joining across frames, closing after the gap, the vote; the frame queue and the event records.
#include <gtest/gtest.h>

#include <algorithm>

#include "options.h"
#include "watch/events.h"
#include "watch/frame_queue.h"
#include "watch/tracker.h"

using namespace platix;
using namespace platix::watch;

namespace {

PlateRead read_at(double t, const std::string& text, Box box, double confidence = -1,
                  std::vector<Candidate> alternatives = {}) {
    PlateRead r;
    r.t = t, r.wall = 1'000'000 + t, r.frame = static_cast<long>(t * 10 + 0.5);
    r.text = text, r.box = box, r.confidence = confidence, r.alternatives = std::move(alternatives);
    return r;
}

Box moved(int dx) { return Box{100 + dx, 200, 300 + dx, 260}; }

}  // namespace

TEST(WatchVote, TakesTheWeightiestLengthThenEachPositionsWeightiestCharacter) {
    struct Case { std::vector<std::pair<std::string, double>> reads; std::string expected; };
    const std::vector<Case> cases = {
        {{}, ""},
        {{{"AB123", 0.9}, {"AB128", 0.2}, {"AB128", 0.2}}, "AB123"},  // one sure read outweighs two doubtful
        {{{"AB123", -1}, {"AB123", -1}, {"AB1234", -1}}, "AB123"},    // other lengths do not vote on positions
        {{{"A^123", -1}, {"A^123", -1}, {"AB123", -1}}, "AB123"},     // an unread character yields to a read one,
        {{{"A^123", -1}}, "A^123"},                                   // and stays when alone
    };
    for (const auto& c : cases) {
        std::vector<PlateRead> reads;
        for (const auto& [text, conf] : c.reads) reads.push_back(read_at(0, text, moved(0), conf));
        EXPECT_EQ(vote(reads), c.expected);
    }
}

TEST(WatchTracker, SeparatesPlatesByPlaceTextAndTime) {
    EXPECT_DOUBLE_EQ(overlap(Box{0, 0, 9, 9}, Box{5, 0, 14, 9}), 50.0 / 150.0);  // inclusive boxes
    EXPECT_DOUBLE_EQ(overlap(Box{0, 0, 9, 9}, Box{10, 0, 19, 9}), 0.0);
    Tracker t(TrackerSettings{1.0});
    // Two plates in the same frames, far apart, texts two edits apart.
    for (int i = 0; i < 3; ++i)
        t.add_frame(i * 0.1, {read_at(i * 0.1, "AB123", moved(10 * i)), read_at(i * 0.1, "AB145", Box{900, 500, 1100, 560})});
    EXPECT_EQ(t.open_count(), 2u);
    // A similar text far away is another plate; the same text anywhere is the same one; stray short reads are ignored.
    t.add_frame(0.3, {read_at(0.3, "AB124", Box{600, 0, 800, 60})});
    t.add_frame(0.4, {read_at(0.4, "AB145", Box{0, 600, 200, 660})});
    t.add_frame(0.5, {read_at(0.5, "7", moved(0))});
    EXPECT_EQ(t.open_count(), 3u);
    EXPECT_TRUE(t.add_frame(1.1, {}).empty());  // still open within the gap
    // The same text after the gap is a new passage.
    const auto closed = t.add_frame(5.0, {read_at(5.0, "AB123", moved(0))});
    ASSERT_EQ(closed.size(), 3u);
    EXPECT_TRUE(closed[0].text == "AB123" && closed[1].text == "AB145" && closed[2].text == "AB124");
    EXPECT_TRUE(closed[0].id == 1 && closed[0].reads == 3 && closed[0].first_t == 0.0 && closed[0].last_t == 0.2);
    EXPECT_EQ(closed[1].reads, 4);
    const auto rest = t.flush();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_TRUE(rest[0].id == 4 && rest[0].reads == 1);
}

TEST(WatchTracker, SecondFieldsOnAPlateInOneFrameStartNoPassage) {
    Tracker t;
    t.add_frame(0.0, {read_at(0.0, "AB123", moved(0))});
    // A doubtful overlapping field listed first, the same text far away, a similar one beside it: only the good read joins.
    t.add_frame(0.1, {read_at(0.1, "A8 1Z3", moved(4)), read_at(0.1, "AB123", moved(8)),
                      read_at(0.1, "AB123", Box{900, 600, 1000, 640}), read_at(0.1, "AB 1Z3", moved(250))});
    ASSERT_EQ(t.open_count(), 1u);
    const auto p = t.flush().at(0);
    EXPECT_TRUE(p.reads == 2 && p.text == "AB123");
}

TEST(WatchTracker, ConfidenceWeighsTheVoteAndPicksTheBestRead) {
    using Shares = std::vector<std::pair<std::string, double>>;
    // One read per frame, 0.1 s apart; the passage's text, confidence, best frame and candidates' shares.
    struct Case { const char* what; std::vector<PlateRead> reads; std::string text; double conf; long best; Shares shares; };
    const Case cases[] = {
        {"the surer text wins and gives the best read",
         {read_at(0.0, "XY999", moved(0), 0.3), read_at(0.1, "XY998", moved(5), 0.3), read_at(0.2, "XY999", moved(10), 0.8)},
         "XY999", 0.55, 2, {{"XY999", 1.1 / 1.4}, {"XY998", 0.3 / 1.4}}},
        {"the reader's other candidates join the candidates",
         {read_at(0.0, "XY999", moved(0), 0.6, {{"XY999", 0.6}, {"XY990", 0.3}}),
          read_at(0.1, "XY999", moved(5), 0.7, {{"XY999", 0.7}, {"XY996", 0.1}, {"XY990", 0.1}})},
         "XY999", 0.65, 1, {{"XY999", 1.3 / 1.8}, {"XY990", 0.4 / 1.8}, {"XY996", 0.1 / 1.8}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Tracker t;
        for (const auto& r : c.reads) t.add_frame(r.t, {r});
        EXPECT_EQ(t.best_frames(), std::vector<long>{c.best});
        const auto p = t.flush().at(0);
        EXPECT_TRUE(p.text == c.text && p.best.frame == c.best);
        EXPECT_NEAR(p.confidence, c.conf, 1e-9);
        ASSERT_EQ(p.candidates.size(), c.shares.size());
        for (std::size_t i = 0; i < c.shares.size(); ++i) {
            EXPECT_EQ(p.candidates[i].text, c.shares[i].first);
            EXPECT_NEAR(p.candidates[i].share, c.shares[i].second, 1e-9);
        }
    }
}

TEST(WatchTracker, KeepsABoundedNumberOfReadsButCountsThemAll) {
    TrackerSettings s;
    s.kept_reads = 10;
    Tracker t(s);
    for (int i = 0; i < 100; ++i) t.add_frame(i * 0.04, {read_at(i * 0.04, i < 20 ? "CD456" : "CD45G", moved(0))});
    const auto p = t.flush().at(0);
    EXPECT_TRUE(p.reads == 100 && p.text == "CD456");  // the vote of the kept (first) reads
    EXPECT_NEAR(p.last_t, 99 * 0.04, 1e-9);
    EXPECT_LT(p.confidence, 0);  // no read gave one
}

TEST(WatchFrameQueue, DropsTheOldestWaitingFramesAndDrainsAfterClose) {
    FrameQueue<int> q(2);
    for (int i = 1; i <= 5; ++i) q.push(i);
    EXPECT_EQ(q.dropped(), 3);
    EXPECT_EQ(q.pop(), 4);
    q.push(6);
    q.close();
    const std::vector<std::optional<int>> rest{q.pop(), q.pop(), q.pop()};
    EXPECT_EQ(rest, (std::vector<std::optional<int>>{5, 6, std::nullopt}));
}

TEST(WatchEvents, RecordsInTheThreeShapes) {
    Tracker t;
    t.add_frame(1.5, {read_at(1.5, "AB 123", Box{10, 20, 110, 50})});
    t.add_frame(1.75, {read_at(1.75, "AB 123", Box{12, 20, 112, 50})});
    const Passage p = t.flush().at(0);
    EXPECT_EQ(event_json("cam \"1\"", p),
              "{\"source\": \"cam \\\"1\\\"\", \"text\": \"AB 123\", \"confidence\": null, \"candidates\": "
              "[{\"text\": \"AB 123\", \"share\": 1.000}], \"first\": 1.500, \"last\": 1.750, "
              "\"first_wall\": \"1970-01-12T13:46:41.500Z\", \"last_wall\": \"1970-01-12T13:46:41.750Z\", "
              "\"reads\": 2, \"best\": {\"t\": 1.500, \"frame\": 15, \"box\": [10, 20, 110, 50]}}\n");
    EXPECT_EQ(event_text("v.mp4", p), "v.mp4\t1.500-1.750\tAB 123\n");
    EXPECT_EQ(event_csv_row("a,b.mp4", p).substr(0, 24), "\"a,b.mp4\",AB 123,,1.500,");  // the rest: the watch runs
}

TEST(WatchOptions, ParsesSamplingGapAndRefusesBadValues) {
    const auto o = parse_watch_options({"--every", "3", "--gap=1.5", "--save", "out", "--reconnect", "--format", "csv",
                                        "--model", "m.pnet", "--reader", "net", "--topn", "4", "a.mp4", "rtsp://cam/1"});
    EXPECT_TRUE(o.recognition.model == "m.pnet" && o.recognition.reader == ReaderKind::net && o.recognition.topn == 4);
    EXPECT_TRUE(o.every == 3 && o.gap == 1.5 && o.sources.size() == 2u);  // the others: the watch runs
    for (const std::vector<std::string>& bad : {std::vector<std::string>{}, {"--every", "0", "v"}, {"--fps", "x", "v"},
                                                {"--gap", "-1", "v"}, {"--jobs", "2", "v"}, {"--save=", "v"}})
        EXPECT_THROW(parse_watch_options(bad), UsageError);
}
