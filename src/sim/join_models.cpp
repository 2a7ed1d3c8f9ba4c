// Temporary join point: model loading and skeletal animation are being built elsewhere.
// Whoever lands the real functions deletes these.
#include "assets/model.h"
#include "assets/skinned_model.h"

void BuildDrawArrays(ArrayModel&) {}
void UpdateSkinnedModel(SkinnedModel&, float) {}
