#include "live/SpotFeed.h"

#include "live/Band.h"
#include "live/Locator.h"

namespace live {

namespace {

std::string UpperCut(std::string_view t, std::size_t max) {
    std::string s = CutText(t, max);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

int MinuteOfMs(std::uint32_t ms) {
    return ms < 86400000u ? static_cast<int>(ms / 60000u) : -1;
}

} // namespace

Spot SpotFromCluster(const ClusterSpot& c, std::int64_t nowMs) {
    Spot s;
    s.source = SpotSource::Cluster;
    s.spotter = CutText(c.spotter, MaxCallLength);
    s.call = CutText(c.call, MaxCallLength);
    s.kHz = c.kHz;
    s.band = std::string(BandOfKHz(c.kHz));
    s.comment = CutText(c.comment, MaxCommentLength);
    s.locator = c.locator;
    s.minuteOfDay = c.minuteOfDay;
    s.receivedMs = nowMs;
    return s;
}

std::optional<Spot> WsjtxSpotter::Take(const WsjtxMessage& m, std::int64_t nowMs) {
    Spot s;
    s.source = SpotSource::Ft8;
    s.spotter = CutText(m.id, MaxCallLength);
    s.receivedMs = nowMs;
    switch (static_cast<WsjtxType>(m.type)) {
    case WsjtxType::Status: {
        if (programs_.size() >= MaxPrograms && !programs_.count(m.id)) programs_.clear();
        Program& p = programs_[CutText(m.id, MaxCallLength)];
        p.dialHz = m.dialHz;
        p.mode = CutText(m.mode, MaxModeLength);
        return std::nullopt;
    }
    case WsjtxType::Close:
        programs_.erase(CutText(m.id, MaxCallLength));
        return std::nullopt;
    case WsjtxType::Decode: {
        if (m.offAir) return std::nullopt;
        const FtMessage text = ReadFtMessage(m.message);
        if (text.call.empty()) return std::nullopt;
        s.call = CutText(text.call, MaxCallLength);
        s.locator = text.locator;
        const auto it = programs_.find(s.spotter);
        if (it != programs_.end() && it->second.dialHz > 0) {
            s.kHz = static_cast<double>(it->second.dialHz + m.df) / 1000.0;
            s.mode = it->second.mode;
        }
        s.band = std::string(BandOfKHz(s.kHz));
        s.comment = CutText(m.message, MaxCommentLength);
        s.minuteOfDay = MinuteOfMs(m.timeMs);
        s.snr = m.snr;
        s.hasSnr = true;
        return s;
    }
    case WsjtxType::QsoLogged: {
        s.call = UpperCut(m.dxCall, MaxCallLength);
        if (!LooksLikeCall(s.call)) return std::nullopt;
        if (IsLocator(m.dxGrid)) s.locator = CutText(m.dxGrid, 6);
        s.kHz = static_cast<double>(m.txHz) / 1000.0;
        s.band = std::string(BandOfKHz(s.kHz));
        s.mode = CutText(m.mode, MaxModeLength);
        s.comment = "QSO logged";
        return s;
    }
    case WsjtxType::WsprDecode: {
        if (m.offAir) return std::nullopt;
        s.source = SpotSource::Wspr;
        s.call = UpperCut(m.dxCall, MaxCallLength);
        if (!LooksLikeCall(s.call)) return std::nullopt;
        if (IsLocator(m.dxGrid)) s.locator = CutText(m.dxGrid, 6);
        s.kHz = static_cast<double>(m.hz) / 1000.0;
        s.band = std::string(BandOfKHz(s.kHz));
        s.mode = "WSPR";
        s.comment = std::to_string(m.powerDbm) + " dBm";
        s.minuteOfDay = MinuteOfMs(m.timeMs);
        s.snr = m.snr;
        s.hasSnr = true;
        return s;
    }
    default:
        return std::nullopt;
    }
}

} // namespace live
