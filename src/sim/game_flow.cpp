#include "sim/game_flow.h"

#include "core/controls.h"
#include "core/game_app.h"
#include "sim/world.h"
#include "core/joystick.h"
#include "core/services.h"
#include "sim/captions.h"
#include "audio/music.h"
#include "audio/sound_system.h"
#include "math/random.h"
#include "hud/text_overlay.h"
#include "sim/aircraft.h"
#include "sim/camera.h"
#include "sim/flight_model.h"
#include "sim/score.h"
#include "sim/simulation.h"
#include "sim/wreckage.h"
#include "speech/speech.h"

GameFlow Flow;
int32_t MissionIndex = -1;
bool LeftBase = false;

// The briefings and the consolation, spoken as they are (tabs make the voice pause).
const wchar_t* const BriefingTexts[MissionCount] = {
    L"Welcome to World War One. Tarnwick hopes you enjoy your stay. \t\tYou must shoot "
    L"down the German zeppelin before it can spy on your secret air base. \t\tThen "
    L"return to the hangar for further instructions.",
    L"Tarnwick is pleased to present the Great War. \t\tYour next mission is to "
    L"destroy the enemy tank before it destroys your air base. \t\tThen return to base "
    L"for your next mission. If you dare.",
    L"The Vornhald is terrorizing the country side. But you are Osbert Plumtuck the "
    L"third. \t\taire to the infamous Plumtuck estate. You will win glory for your "
    L"family's name or perish trying. God speed Osbert!",
};
const wchar_t DeathText[] =
    L"Sorry Osbert. You have died a horrible death. Parr for the course for the "
    L"Plumtuck clan. \t\t\t\t\t Feel free to try again. You can always press escape if "
    L"the humiliation is too great. \t\t\t\t\t Here are a few hints. Listen for the "
    L"enemy if you have trouble seeing them. \t\t\t\t\t If you get stuck on the ground "
    L"look for a hill to launch you into the air.";

const Mission Missions[MissionCount] = {
    {"Zeppelin", {0.0f, -20.0f, 0.0f}},
    {"Tank", {0.0f, 6.0f, 0.0f}},
    {"Vornhald", {0.0f, 4.0f, -1.0f}},
};

namespace {

// The player starts every mission in front of the hangar.
constexpr Vec3 StartPosition = {7600.0f, 629.0f, 6468.0f};
// A briefing waits this long (seconds) unless Space ends it; after a death, longer.
constexpr float BriefingWait = 16.0f;
constexpr float DeathWait = 25.0f;

void PlaceTarget(int mission) {
    // Three successive draws, whatever the mission uses of them.
    float r1 = static_cast<float>(Rand());
    float r2 = static_cast<float>(Rand());
    float r3 = static_cast<float>(Rand());
    switch (mission) {
        case 0: {
            ArrayModel& zeppelin = ZeppelinModel;
            BuildDrawArrays(zeppelin);  // undo what an earlier destruction did to the shape
            Vec3 p = {15000.0f * (1.0f - r3 * TwoOverRandMax), 5000.0f * (1.0f + r2 * OneOverRandMax),
                      15000.0f * (1.0f - r1 * TwoOverRandMax)};
            SetTranslation(zeppelin.matrix, p);
            zeppelin.velocity = {0.0f, 0.0f, 0.0f};
            Sources.enemyEngine = p;
            StartVoiceUnlessActive(EnemyEngineVoice, &Sources.enemyEngine, true);
            break;
        }
        case 1: {
            ArrayModel& tank = TankModel;
            BuildDrawArrays(tank);
            float x = 15000.0f * (1.0f - r1 * TwoOverRandMax);
            float z = 15000.0f * (1.0f - r2 * TwoOverRandMax);
            Vec3 p = {x, TerrainGap(PlayerPlane, x, 0.0f, z), z};  // on the ground
            SetTranslation(tank.matrix, p);
            Sources.enemyEngine = p;
            StartVoiceUnlessActive(EnemyEngineVoice, &Sources.enemyEngine, true);
            break;
        }
        default: {
            ResetAircraft(EnemyPlane);
            Vec3 p = {15000.0f * (1.0f - r3 * TwoOverRandMax), 10000.0f * (1.0f + r2 * OneOverRandMax),
                      15000.0f * (1.0f - r1 * TwoOverRandMax)};
            EnemyPlane.position = p;
            SetTranslation(EnemyPlane.placement, p);
            StartVoiceUnlessActive(EnemyEngineVoice, &EnemyPlane.position, true);
            break;
        }
    }
}

void Brief() {
    Flow.briefingClock += FrameDt;
    UpdateCamera();
    if (App.controls.keys[vk::Space] != 0) Flow.briefingClock = Flow.deadline + 1.0f;  // ends the wait now
    if (Flow.deadline < Flow.briefingClock) {
        StartVoiceUnlessActive(EngineVoice, &PlayerPlane.position, true);
        StartVoiceUnlessActive(WindVoice, &PlayerPlane.position, true);
        Sources.siren = MatrixTranslation(HangarModel.matrix);
        StartVoiceUnlessActive(SirenVoice, &Sources.siren, true);
        // The next state's first frame measures its time from now, not from the briefing.
        App.lastFrameTime = Seconds();
        Flow.state = Flow.nextState;
    }
}

void MournTheDead() {
    CameraView = DeathView;
    UpdateCamera();
    if (!VoiceActive(CrashVoice)) {
        StopVoice(SirenVoice);
        SpeakWithCaptions(DeathText, DeathWait);
        Flow.briefingClock = Seconds();
        Flow.state = Briefing;
        Flow.nextState = StartMission;
        Flow.deadline = Flow.briefingClock + DeathWait;
    }
}

}  // namespace

void UpdateGame() {
    Axes.horizontal = App.controls.stickX;
    Axes.vertical = App.controls.stickY;
    if (PollJoystick()) {
        Axes.horizontal = App.joystick.x;
        Axes.vertical = App.joystick.y;
        JoystickButtonsToKeys(App.joystick.buttons, App.controls.keys);
    }
    switch (Flow.state) {
        case StartMission:
            StartNextMission();
            UpdateCaptions(FrameDt);
            return;  // reads no key: a tap waits for the briefing's first frame
        case Briefing:
            Brief();
            break;
        case Playing:
            StepSimulation();
            UpdateCamera();
            break;
        case Dead:
            MournTheDead();
            break;
    }
    UpdateCaptions(FrameDt);
    KeysRead(App.controls);
}

void StartNextMission() {
    // With Music off the tune plays only until the first mission starts.
    if (App.settings.Music == 0) StopMusic();
    StopVoice(EngineVoice);
    StopVoice(WindVoice);
    StopVoice(SirenVoice);
    StopVoice(EnemyEngineVoice);

    ResetAircraft(PlayerPlane);
    PlayerPlane.position = StartPosition;
    SetTranslation(PlayerPlane.placement, StartPosition);
    Throttle = 0;
    EnemyPlane.destroyed = false;
    FlyAircraft(PlayerPlane, 0.03f, 0.0f, 0.0f, 0.0f);  // settle on the ground
    BiplaneModel.model.matrix = PlayerPlane.placement;
    UpdateSkinnedModel(BiplaneModel, FrameDt);

    CameraView = PilotView;
    ZeppelinModel.visible = TargetInactive;
    TankModel.visible = TargetInactive;
    TriplaneModel.visible = TargetInactive;
    LeftBase = false;

    MissionIndex += 1;
    if (MissionIndex > 2) MissionIndex = 0;
    const int mission = MissionIndex;
    // The first briefing tells where the controls are; the line is shown, not spoken.
    SpeakWithCaptions(BriefingTexts[mission], BriefingWait, mission == 0 ? "F1: controls" : nullptr);
    Model& target = mission == 0 ? static_cast<Model&>(ZeppelinModel)
                                 : mission == 1 ? static_cast<Model&>(TankModel) : TriplaneModel;
    target.visible = TargetAlive;
    PlaceTarget(mission);
    Camera.targetViewOffset = Missions[mission].targetViewOffset;
    ClearOverlay(ScoreOverlay);
    DrawOverlayText(ScoreOverlay, Missions[mission].name, ScoreRect, 0);

    Flow.briefingClock = Seconds();
    Flow.state = Briefing;
    Flow.nextState = Playing;
    Flow.deadline = Flow.briefingClock + BriefingWait;
}

void StepGameFrame() {
    UpdateGame();
    PublishSoundPositions();
    AdvanceWreckage(FrameDt);
}

void ResetGame() {
    Flow = GameFlow{};
    MissionIndex = -1;
    LeftBase = false;
    Score = 0;
    PlayerPlane = Aircraft{};
    EnemyPlane = Aircraft{};
    Throttle = 0;
    Axes = ControlAxes{};
    CameraView = PilotView;
    Camera = CameraRig{};
}
