#include "sim/wreckage.h"

#include "audio/sound_system.h"
#include "math/mat4.h"
#include "math/random.h"
#include "sim/world.h"

namespace {

// The tank's collapse is timed by the texture coordinates of this vertex.
constexpr uint32_t TankTimerVertex = 15;
constexpr float TankGoneU = 0.005f;
// Per frame: texture coordinates drift toward the corner at this rate.
constexpr float TextureDecay = 0.995f;

// A fresh draw mapped onto [0, 1].
float Unit() { return static_cast<float>(Rand()) / static_cast<float>(RandMax); }

void DecayTexCoords(ArrayModel& model) {
    if (model.texCoords == nullptr) return;
    for (uint32_t i = 0; i < 2 * model.vertexCount; ++i) model.texCoords[i] *= TextureDecay;
}

}  // namespace

WreckageFrame Wreckage;

void AnimateFallingZeppelin(float dt) {
    ArrayModel& z = ZeppelinModel;
    DecayTexCoords(z);
    if (z.positions != nullptr) {
        for (uint32_t i = 0; i < z.vertexCount; ++i) {
            float* p = z.positions + 3 * static_cast<size_t>(i);
            p[0] *= 1.0049f - 0.01f * Unit();
            p[1] *= 1.0045f - 0.01f * Unit();
            p[2] *= 1.0049f - 0.01f * Unit();
        }
    }
    float a = RandSigned();
    float b = RandSigned();
    float c = RandSigned();
    RotateLocal(z.matrix, EulerAngles{0.01f * c, 0.01f * b, 0.01f * a});

    // The fall speeds up by frame time, but moves by the velocity once per frame.
    z.velocity.y += -0.1f * dt;
    SetTranslation(z.matrix, MatrixTranslation(z.matrix) + z.velocity);
    if (z.matrix.m[13] < 0.0f) {
        z.visible = TargetCollapsed;
        if (VoiceActive(EnemyEngineVoice)) StopVoice(EnemyEngineVoice);
    }
}

bool AnimateDestroyedTank() {
    ArrayModel& t = TankModel;
    DecayTexCoords(t);
    if (t.positions != nullptr) {
        for (uint32_t i = 0; i < t.vertexCount; ++i) t.positions[3 * static_cast<size_t>(i) + 1] *= 1.0f - 0.001f * Unit();
    }
    // A tank without the timing vertex's texture coordinate has nothing to time its
    // collapse by: it ends at once rather than never.
    bool timed = t.texCoords != nullptr && t.vertexCount > TankTimerVertex;
    if (!timed || t.texCoords[2 * TankTimerVertex] < TankGoneU) {
        t.visible = TargetCollapsed;
        return false;
    }
    return true;
}

void AdvanceWreckage(float dt) {
    if (ZeppelinModel.visible == TargetDestroyed) AnimateFallingZeppelin(dt);
    Wreckage.tankGoneNow = TankModel.visible == TargetDestroyed && !AnimateDestroyedTank();
}
