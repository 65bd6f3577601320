#pragma once
// A match client with its own simulation and a hand-moved clock, pumped against the
// loopback match server until a condition holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "gameplay/training_simulation.h"
#include "online/match_client.h"
#include "support/fake_match_server.h"

namespace tarvo::online::test {

using namespace std::chrono_literals;

class ClientHarness {
public:
    ClientHarness() : simulation(Config()) {
        simulation.Start();
        client.SetClock([this] { return now; });
    }

    static gameplay::GameplayConfig Config() {
        gameplay::GameplayConfig config;
        config.bot_count = 0;
        return config;
    }

    bool Open(const testing::FakeMatchServer& server, std::string_view mode = "ffa", int map = 0) {
        return client.Open("127.0.0.1", server.Port(), testing::FakeMatchOptions{}.joinKey, mode, map);
    }

    // Pumps (the clock standing still unless `step` moves it) until `done` holds; false
    // after a minute of real time, a hang guard only.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds step = 0ms) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < deadline) {
            client.Pump(simulation, input, fire, reload);
            if (done()) return true;
            now += step;
            Sleep(1);
        }
        return false;
    }

    bool Join(const testing::FakeMatchServer& server, std::string_view mode = "ffa", int map = 0) {
        return Open(server, mode, map) && PumpUntil([this] { return client.Connected() && client.Info().valid; }, 5ms);
    }

    // Sends one input datagram and waits until the server has read it; it reads in order,
    // so whatever the client sent before has been read too. Connected clients only.
    bool SyncWith(const testing::FakeMatchServer& server) {
        now += MatchClient::kInputInterval;
        client.Pump(simulation, input, fire, reload);
        const std::uint32_t serial = client.InputSerial();
        return PumpUntil([&] { return server.Players().back().inputSerial == serial; });
    }

    // Pumps until two more of the server's rounds (snapshot, report, economy) were taken.
    bool HearTwoRounds() {
        const std::uint64_t accepted = client.Traffic().accepted;
        return PumpUntil([&] { return client.Traffic().accepted >= accepted + 6; });
    }

    // Pumps for a short while of real time, for datagrams that should change nothing.
    void PumpFor(std::chrono::milliseconds span) {
        const auto until = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < until) {
            client.Pump(simulation, input, fire, reload);
            Sleep(1);
        }
    }

    MatchClient::Clock::time_point now = MatchClient::Clock::now();
    MatchClient client;
    gameplay::TrainingSimulation simulation;
    gameplay::InputState input{};
    bool fire = false;
    bool reload = false;
};

}  // namespace tarvo::online::test
