#include "sim/camera.h"

#include "core/game_app.h"
#include "sim/world.h"
#include "core/controls.h"
#include "math/view.h"
#include "sim/aircraft.h"
#include "sim/simulation.h"

const EulerAngles CameraAngles = {0.0f, 3.14159f, 0.0f};
const Vec3 PilotEyeOffset = {0.0f, 0.85f, -1.0f};
CameraRig Camera;

namespace {

// The view of a camera placed at local in the frame: the inverse of frame * local.
void AttachedView(const Mat4& frame, const Mat4& local, Mat4& view) {
    AffineMultiply(view, frame, local);
    Invert4(view);
}

void PilotEyeView(Mat4& view) {
    Mat4 local;
    EulerMatrix(CameraAngles, local, PilotEyeOffset);
    AttachedView(PlayerPlane.placement, local, view);
}

const Mat4& TargetFrame() {
    if (TriplaneMission()) return EnemyPlane.placement;
    // A destroyed zeppelin (state 2) is still followed.
    if (ZeppelinModel.visible != TargetInactive) return ZeppelinModel.matrix;
    return TankModel.matrix;
}

}  // namespace

void UpdateCamera() {
    Mat4& view = LookAtMatrix;
    Mat4& stored = Camera.viewRing[Camera.ringIndex];
    switch (CameraView) {
        case PilotView:
            PilotEyeView(view);
            stored = view;
            break;
        case DelayedPilotView: {
            // The delayed pilot view shows the view stored three updates ago.
            Mat4 now;
            PilotEyeView(now);
            view = stored;
            stored = now;
            break;
        }
        case TargetView: {
            Mat4 local;
            EulerMatrix(CameraAngles, local, Camera.targetViewOffset);
            AttachedView(TargetFrame(), local, view);
            stored = view;
            break;
        }
        case RearView: {
            // Looking backward over the tail: no half turn.
            Mat4 local = Identity4;
            SetTranslation(local, {0.0f, 1.0f, -1.0f});
            AttachedView(PlayerPlane.placement, local, view);
            stored = view;
            break;
        }
        case DeathView: {
            Vec3 p = PlayerPlane.position;
            LookAt(p + Vec3{10.0f, 10.0f, 10.0f}, p, {0.0f, 1.0f, 0.0f});
            break;
        }
        default:
            break;  // the view keeps its last value
    }
    App.camera = view;
    Camera.ringIndex = (Camera.ringIndex + 1) % 3;
}
