// Checks of a model as its files left it: everything that would make the
// portal fail to load it, or hide something an administrator meant to show.
#pragma once

#include <string>
#include <vector>

namespace tessaro {

class TInetMgrModel;

// The problems of `model`, each one line of windows-1250 text naming the
// element and what is wrong. REQUIRES: the model is read (ReadStreams) but
// not linked yet; CheckModel links it and runs the after-load step itself,
// and reports their failure as a problem too. Empty when all is well.
std::vector<std::string> CheckModel(TInetMgrModel& model);

// The parameter types (as CheckModel words them) whose editor identifier
// matches an editor's only when letter case is ignored: linking finds the
// editor, but a type's options are bound by the exact identifier, so the
// type keeps none. Part of CheckModel; for a model read in any way.
std::vector<std::string> CheckEditorLetterCase(const TInetMgrModel& model);

}  // namespace tessaro
