#include "online/match_client.h"

// The network side of the online test is not part of this build yet: the client
// never opens, so no online match can start, and nothing is fetched.
namespace tarvo::online {

MatchClient::MatchClient() = default;
MatchClient::~MatchClient() { Close(); }

bool MatchClient::Open(const std::string&, std::uint16_t, const std::string&, std::string_view, int) {
    Close();
    return false;
}

void MatchClient::Close() {
    info_ = MatchInfo{};
    economy_ = MatchEconomy{};
    error_.clear();
    inputSerial_ = 0;
    pendingPurchase_ = -1;
    connected_ = false;
}

bool MatchClient::Pump(gameplay::TrainingSimulation&, const gameplay::InputState&, bool, bool) { return false; }

bool MatchClient::TimedOut() const { return false; }

void MatchClient::Buy(int item) {
    if (pendingPurchase_ >= 0) return;
    if (!economy_.authenticated) {
        economy_.message = "PROFILE_REQUIRED";
        return;
    }
    if (item < 0 || item > 2) return;
    pendingPurchase_ = item;
    ++purchaseSerial_;
    economy_.message = "PENDING";
}

void MatchClient::SetDisplayName(std::wstring_view name) {
    if (name.empty()) return;
    displayName_.assign(name.substr(0, 20));
}

void MatchClient::SetIdentity(MatchIdentity identity) { identity_ = std::move(identity); }

std::string MatchClient::FetchStatus() { return {}; }

MatchIdentity LoadMatchIdentity(std::wstring playerKey) {
    MatchIdentity identity;
    identity.playerKey = std::move(playerKey);
    return identity;
}

}  // namespace tarvo::online
