// The sequence of a training session around its dialog.
#include "training_session.h"

#include "orvosys.h"
#include "session_files.h"

namespace learner {

int run_training_session(ocr_io* io, seg_result** current, const char* list_path, SessionLibs& libs,
                         DialogRunner& runner) {
    if (io == nullptr || list_path == nullptr) return 0;
    SessionPaths paths;
    if (!read_session_paths(list_path, io->kb_index, paths)) return 0;
    if (libs.results_number() <= 0) {
        osys_beep();
        osys_message_box("Sorry, no text fields (rows) found in image...", "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
        return 0;
    }
    BackupState backups;
    if (!make_backups(paths, backups)) return 0;
    seg_result* field = current ? *current : nullptr;
    const int result = runner.run(*io, libs, field, paths.kb);
    if (current) *current = field;
    finish_backups(paths, backups, result != 0);
    return result;
}

}  // namespace learner
