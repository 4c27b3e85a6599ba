// The reading data that ships with platix (the knowledge base of data/kb/
// and the learned reader's model of data/models/), found beside the
// installed program or, in a build tree, in the source tree, and taken
// when a command is given no --kb and no --model.
#pragma once

#include <string>
#include <vector>

#include "options.h"

namespace platix {

// The folder holding the bundled data, tried in this order: $ORVO_DATA_DIR
// when set, the install location relative to the running program
// (BINDIR/../share/orvo), the source tree's data/ folder. "" when none of
// them holds the bundled knowledge base.
std::string bundled_data_dir();

// The bundled knowledge base's path, "" when it is not found.
std::string bundled_kb_path();

// The bundled model of the learned reader (models/plates.pnet in the
// bundled data folder), "" when it is not there.
std::string bundled_model_path();

// The bases a reading command uses. No --kb: the bundled base, announced
// once on stderr unless `quiet`; "--kb none" alone: no base (fields
// without text). Throws UsageError when no --kb is given and no bundled
// base is found, or when "none" is mixed with bases.
std::vector<KbArg> resolve_kbs(const std::vector<KbArg>& given, bool quiet);

}  // namespace platix
