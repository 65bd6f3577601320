#pragma once
// Builders of server datagrams in the TARV1 text form, field by field, so a test
// can change one field and leave the rest valid.
#include <array>
#include <string>
#include <vector>

namespace tarvo::online::test {

struct LocalFields {
    std::string x = "0.00", y = "0.00", z = "-30.00", health = "100.00", dead = "0", crouching = "0", team = "1",
                kills = "0", deaths = "0", weapon = "0", magazine = "30", reserve = "120", reloading = "0",
                fireMode = "0";
    std::string Text() const {
        return x + "|" + y + "|" + z + "|" + health + "|" + dead + "|" + crouching + "|" + team + "|" + kills + "|" +
               deaths + "|" + weapon + "|" + magazine + "|" + reserve + "|" + reloading + "|" + fireMode;
    }
};

struct RemoteFields {
    std::string id = "40", team = "2", weapon = "0", kills = "0", deaths = "0", shots = "0", health = "100.00",
                dead = "0", x = "3.00", y = "0.00", z = "10.00", yaw = "180.00", name = "ada";
    std::string Text() const {
        return id + "|" + team + "|" + weapon + "|" + kills + "|" + deaths + "|" + shots + "|" + health + "|" + dead +
               "|" + x + "|" + y + "|" + z + "|" + yaw + "|" + name;
    }
};

inline RemoteFields Remote(int id, const std::string& name) {
    RemoteFields r;
    r.id = std::to_string(id);
    r.name = name;
    return r;
}

struct Snap {
    std::string tick = "5";
    LocalFields local;
    std::vector<RemoteFields> remotes;
    std::string countOverride;  // empty: the number of remotes
    std::string Text() const {
        std::string s = "TARV1|SNAP|" + tick + "|" + local.Text() + "|" +
                        (countOverride.empty() ? std::to_string(remotes.size()) : countOverride);
        for (const RemoteFields& r : remotes) s += '|' + r.Text();
        return s;
    }
};

// mode, map, team, cyan, amber, clock, roundState, winner, round, matchOver, ffaFigure, point,
// pointOwner, pointProgress, localShots, shotResets, playerId.
struct ReportFields {
    std::string serial = "1";
    std::array<std::string, 17> values{"6", "0", "1", "0", "0", "300", "1", "0", "1",
                                       "0", "0", "0", "0", "-0.50", "0", "0", "7"};
};

inline std::string ReportText(const ReportFields& r) {
    std::string s = "TARV1|REPORT|" + r.serial;
    for (const std::string& v : r.values) s += '|' + v;
    return s;
}

inline std::string Econ(unsigned serial, long long coins, unsigned mask, unsigned selected, int authenticated,
                        unsigned ack, const std::string& message) {
    return "TARV1|ECON|" + std::to_string(serial) + "|" + std::to_string(coins) + "|" + std::to_string(mask) + "|" +
           std::to_string(selected) + "|" + std::to_string(authenticated) + "|" + std::to_string(ack) + "|" + message;
}

}  // namespace tarvo::online::test
