// Temporary join point: skeletal animation is being built elsewhere. Whoever lands the
// real function deletes this.
#include "assets/skinned_model.h"

void UpdateSkinnedModel(SkinnedModel&, float) {}
