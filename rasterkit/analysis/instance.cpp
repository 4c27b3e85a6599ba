// Construction and release of an analysis instance.
#include "instance.h"

#include "results.h"
#include "zero_alloc.h"

namespace rk {

AnalysisInstance::AnalysisInstance()
    : bound_to_globals_(false),
      image(own_.image),
      image_bpl(own_.image_bpl),
      results(own_.results),
      objectbitmap(own_.objectbitmap),
      BMP_lines(own_.lines),
      BMP_columns(own_.columns),
      BMP_bpl(own_.bpl) {}

AnalysisInstance::AnalysisInstance(GlobalsTag)
    : bound_to_globals_(true),
      image(::videobuffer),
      image_bpl(::BPL),
      results(::results),
      objectbitmap(::objectbitmap),
      BMP_lines(::BMP_lines),
      BMP_columns(::BMP_columns),
      BMP_bpl(::BMP_bpl) {}

AnalysisInstance::~AnalysisInstance() {
    orvo::zero_free(smoothbuffer);
    if (cellmap != nullptr) {
        for (int r = 0; r < celllin; ++r) orvo::zero_free(cellmap[r]);
        orvo::zero_free(cellmap);
    }
    orvo::zero_free(rowthresholds);
    orvo::zero_free(runblock);
    orvo::zero_free(rowindex);
    orvo::zero_free(componenttable);
    orvo::zero_free(textrows.runtable);
    orvo::zero_free(textrows.blocktable);
    if (!bound_to_globals_) clear_results(*this);
}

AnalysisInstance& main_instance() {
    static AnalysisInstance instance{AnalysisInstance::GlobalsTag{}};
    return instance;
}

}  // namespace rk
