#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "gameplay/gameplay_config.h"
#include "gameplay/scene_primitive.h"
#include "gameplay/vec3.h"

namespace tarvo::gameplay {

// One frame's movement keys, sampled by the shell.
struct InputState {
    bool forward = false;
    bool back = false;
    bool left = false;
    bool right = false;
    bool jump = false;
    bool crouch = false;
    bool sprint = false;
};

enum class FireMode : uint32_t {
    Automatic = 0,
    SemiAutomatic = 1,
};

enum class BotState : uint32_t {
    Spawned = 0,          // just respawned; patrols after 0.45 s
    Patrol = 1,           // walks navigation paths
    Search = 2,           // turns in place; also while reacting to a sighting
    Investigate = 3,      // walks to the player's last known position
    Engage = 4,           // faces the player, holds distance, shoots
    Strafe = 5,           // engaged and side-stepping, shoots
    BackOff = 6,          // too close, walks backwards facing the player
    Killed = 7,           // health reached 0 in this step
    AwaitingRespawn = 8,  // dead, respawn timer running
};

struct PlayerState {
    int32_t weaponIndex = 0;        // online: equipped weapon 0..2; 0 offline
    int32_t onlineValue = 0;        // written only by the match client
    Vec3 position;                  // feet
    float yaw = 0.0f;               // degrees, unbounded; 0 looks along +z
    float pitch = 0.0f;             // degrees, -88..88, positive looks up
    float verticalVelocity = 0.0f;  // m/s, positive up
    float health = 0.0f;
    bool grounded = false;
    bool crouching = false;
    bool dead = false;
    float respawnTimer = 0.0f;
    int32_t kills = 0;
    int32_t deaths = 0;
    int32_t deathsByBots = 0;
    float horizontalSpeed = 0.0f;    // x/z speed over the last step
    float distanceTravelled = 0.0f;  // x/z metres walked
};

struct WeaponState {
    int32_t magazine = 0;
    int32_t reserve = 0;
    float cooldown = 0.0f;     // seconds until the next shot may fire
    float reloadTimer = 0.0f;  // seconds left in a reload
    bool reloading = false;
    FireMode fireMode = FireMode::Automatic;
};

// An offline bot, or online a remote player written by the match client.
struct Bot {
    std::wstring name;          // empty offline
    int32_t shots = 0;          // online only
    int32_t kills = 0;          // online only
    int32_t deaths = 0;         // online only
    int32_t weaponIndex = 0;    // online only, 0..2
    int32_t team = 0;           // online only: 1 cyan, 2 amber, 0 none
    int32_t id = 0;             // offline: index in the bot list
    float horizontalSpeed = 0.0f;
    float distanceTravelled = 0.0f;
    Vec3 position;              // feet
    Vec3 spawnPosition;
    float yaw = 0.0f;           // degrees
    float health = 0.0f;
    BotState state = BotState::Spawned;
    float stateTimer = 0.0f;
    float fireTimer = 0.0f;
    float respawnTimer = 0.0f;
    Vec3 lastKnownTargetPosition;
    Vec3 stuckCheckPosition;    // position at the end of the previous step
    bool hasLastKnownTarget = false;
    bool seesTarget = false;
    float reactionTimer = 0.0f;  // continuous sight still needed before engaging
    float aimDelayTimer = 0.0f;  // delay before the first shot after engaging
    float timeSinceSeen = 0.0f;
    float stuckTimer = 0.0f;
    float strafeSign = 1.0f;     // +1 or -1
    int32_t burstRemaining = 0;
    int32_t targetNode = 0;
    std::vector<int> path;       // node ids from the start node to targetNode
    std::size_t pathIndex = 0;   // index in path of the node being walked to
};

struct NavigationNode {
    int32_t id = 0;                // equals the node's index in the graph
    Vec3 position;
    std::vector<int> neighbours;
    float weight = 1.0f;           // cost factor for entering the node
    std::string name;              // area label; repeats
    bool flagged = false;
};

// A gameplay event; the name equals the runtime-log event name.
struct SessionEvent {
    std::string name;
    int32_t value = -1;  // -1 or the bot id
};

// One open-list entry of the path search.
struct PathHeapEntry {
    float f = 0.0f;
    int node = 0;
};

struct FireResult {
    bool fired = false;
    bool hit = false;
    bool killed = false;
    int32_t botId = -1;
};

// The match-local world: player, weapon, bots, arena, navigation graph and events.
// It reads no clock, file or window (except the arena file of ConfigureMatchMap):
// time enters through Update and input through InputState, so equal inputs give
// equal runs. Single-threaded; references handed out stay valid until the next
// non-const call.
class TrainingSimulation {
public:
    static constexpr float kFixedStep = 1.0f / 120.0f;
    static constexpr float kMaxFrameSeconds = 0.1f;

    // Inactive, built-in arena and navigation graph, no bots; reads no file.
    explicit TrainingSimulation(GameplayConfig config);

    // Session lifecycle.
    void Start();    // spawns player and bots; emits GameplaySessionStarted, MapLoaded
    void Stop();     // emits GameplaySessionEnded when active; always clears the bots
    void Restart();  // Stop() then Start()

    // Runs whole fixed steps over `seconds` (clamped to 0..0.1, non-finite counts
    // as 0); leftover time carries to the next call. Nothing while inactive.
    void Update(const InputState& input, float seconds);
    void FixedUpdate(const InputState& input, float dt);

    // View turn by mouse counts; only while active and the player lives.
    void AddMouseDelta(float dx, float dy);
    Vec3 CameraPosition() const;
    Vec3 CameraForward() const;  // unit vector from yaw and pitch

    int BotsAlive() const;
    std::vector<SessionEvent> DrainEvents();  // moves the queue out, leaving it empty

    // Online play: the match client overwrites player, weapon and bots each frame.
    void ApplyOnlineSnapshot(const PlayerState& player, const WeaponState& weapon, std::vector<Bot> bots);

    float NextRandom();  // linear congruential, 0..1 inclusive

    // Quality-assurance setters; out-of-range indices change nothing.
    void SetPlayerPositionForQa(Vec3 position);
    void SetBotPositionForQa(std::size_t index, Vec3 position);
    void SetBotYawForQa(std::size_t index, float degrees);

    bool Active() const { return active; }
    const GameplayConfig& Config() const { return config; }
    const PlayerState& Player() const { return player; }
    const WeaponState& Weapon() const { return weapon; }
    const std::vector<Bot>& Bots() const { return bots; }
    const std::vector<ScenePrimitive>& Arena() const { return arena; }
    const std::vector<NavigationNode>& NavigationGraph() const { return navigationNodes; }
    Vec3 PlayableMinimum() const { return playableMinimum; }
    Vec3 PlayableMaximum() const { return playableMaximum; }
    uint64_t InvalidWallDamageEvents() const { return invalidWallDamageEvents; }
    uint64_t OutOfBoundsRecoveries() const { return outOfBoundsRecoveries; }

    // Arena and navigation graph.
    void BuildArena();            // the 27 built-in boxes
    void BuildNavigationGraph();  // the 19 built-in nodes
    // Loads directory / MatchMapFiles[map]; false (arena unchanged) for a map outside
    // 0..2 or a missing, malformed or oversized file.
    bool ConfigureMatchMap(int map, const std::filesystem::path& directory);
    void SpawnBots();
    // A* over the graph: node ids from start to goal inclusive; empty when there is
    // no path or an id is out of range.
    std::vector<int> FindPath(int start, int goal) const;
    int NearestNavigationNode(Vec3 position) const;  // -1 for an empty graph

    // Movement and world queries.
    void UpdatePlayer(const InputState& input, float dt);
    bool PositionBlocked(Vec3 feet, float radius, float height) const;
    float GroundHeightAt(Vec3 feet) const;
    bool TryMove(Vec3& position, Vec3 delta, float radius, float height) const;
    // Nearest solid non-floor box along the ray within maxDistance; hitDistance is
    // that distance, or maxDistance when nothing is hit.
    bool RaycastWorld(Vec3 origin, Vec3 direction, float maxDistance, float& hitDistance) const;

    // Bot behaviour.
    void UpdateBots(float dt);
    bool CanSeeTarget(const Bot& bot) const;
    bool EnsureBotPath(Bot& bot, int targetNode);
    void FollowBotPath(Bot& bot, float dt, float speed);

    // Weapon fire and damage. Fire ignores fireMode: the caller decides the cadence.
    FireResult Fire();
    bool BeginReload();
    bool RaycastHitsBot(Vec3 origin, Vec3 direction, std::size_t& index) const;
    void DamagePlayer(float damage);
    bool DamageBot(std::size_t index, float damage);  // true when the bot was killed
    void ToggleFireMode();
    void SetFireMode(FireMode mode);  // no event

private:
    // Axis-aligned bounds of an arena box, derived once per arena for the queries.
    struct WorldBox {
        Vec3 min;
        Vec3 max;
        float sizeY = 0.0f;
        float sizeZ = 0.0f;
        ScenePrimitiveKind kind = ScenePrimitiveKind::Floor;
    };

    void SpawnPlayer();
    void Emit(const char* name, int32_t value);
    void RebuildWorldCache();
    // FindPath into `out`, reusing scratch arrays so re-planning allocates nothing
    // once they have grown.
    bool PlanPath(int start, int goal, std::vector<int>& out);
    float WalkableSurface(const WorldBox& box, float z) const;  // cover/platform top or ramp surface
    void UpdateBot(Bot& bot, float dt);
    // One bot move in collision-tested sub-steps, ending on the ground under it.
    void WalkBot(Bot& bot, Vec3 delta);

    GameplayConfig config;
    PlayerState player;
    WeaponState weapon;
    std::vector<Bot> bots;
    std::vector<ScenePrimitive> arena;
    std::vector<NavigationNode> navigationNodes;
    std::vector<SessionEvent> events;
    bool active = false;

public:
    // Read directly by the renderers: set by ApplyOnlineSnapshot and cleared by Start;
    // the map last loaded by ConfigureMatchMap (0 for the built-in arena).
    bool onlineDriven = false;
    int32_t mapIndex = 0;

private:
    float accumulator = 0.0f;
    uint32_t randomState = 0xC4A72002u;
    Vec3 lastSafePosition{0.0f, 0.0f, -34.0f};
    Vec3 playableMinimum{-31.0f, -2.0f, -41.0f};
    Vec3 playableMaximum{31.0f, 12.0f, 41.0f};
    uint64_t invalidWallDamageEvents = 0;
    uint64_t outOfBoundsRecoveries = 0;

    // Derived state and scratch space, kept so a step allocates nothing.
    std::vector<WorldBox> blockers;   // solid, non-floor: bodies and rays
    std::vector<WorldBox> walkables;  // cover, platform, ramp tops
    std::vector<Vec3> stepStartBotPositions;
    std::vector<float> pathCost;
    std::vector<int> pathParent;
    std::vector<PathHeapEntry> pathHeap;
};

// Stand-alone bookkeeping of entering and leaving training.
class TrainingSessionController {
public:
    bool Enter();       // false when already in training
    bool ExitToMenu();  // false when not in training
    bool InTraining() const { return inTraining; }
    int EnterCount() const { return enterCount; }
    int ExitCount() const { return exitCount; }

private:
    bool inTraining = false;
    int32_t enterCount = 0;
    int32_t exitCount = 0;
};

}  // namespace tarvo::gameplay
