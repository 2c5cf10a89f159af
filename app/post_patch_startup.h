#pragma once
// The first start-up step: a patch left to finish is finished, and the
// launcher takes over.

// True when the client must end at once (exit code 0).
bool postPatchTakesOver();
