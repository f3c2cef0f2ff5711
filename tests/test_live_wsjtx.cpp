// The FT8 program's datagrams: every type read here, and hostile ones.
#include "live/SpotFeed.h"
#include "live/Wsjtx.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using live::WsjtxMessage;
using live::WsjtxResult;
using live::WsjtxType;
using live::WsjtxWriter;

namespace {

using Bytes = std::vector<std::uint8_t>;

WsjtxResult Read(const Bytes& b, WsjtxMessage& m) {
    return live::ReadWsjtx(b.data(), b.size(), m);
}

TEST(Wsjtx, ReadsEveryTypeItKnows) {
    WsjtxMessage m;
    ASSERT_EQ(Read(WsjtxWriter::Heartbeat("WSJT-X"), m), WsjtxResult::Ok);
    EXPECT_EQ(m.type, 0u);
    EXPECT_EQ(m.schema, 3u);
    EXPECT_EQ(m.id, "WSJT-X");
    EXPECT_EQ(m.maxSchema, 3u);
    EXPECT_EQ(m.version, "2.6.1");

    ASSERT_EQ(Read(WsjtxWriter::Status("WSJT-X", 14074000, "FT8"), m), WsjtxResult::Ok);
    EXPECT_EQ(m.dialHz, 14074000u);
    EXPECT_EQ(m.mode, "FT8");
    EXPECT_TRUE(m.decoding);
    EXPECT_EQ(m.deCall, "N0CALL");
    EXPECT_EQ(m.deGrid, "JN18");

    ASSERT_EQ(Read(WsjtxWriter::Decode("WSJT-X", "CQ K1ABC FN42", -12, 1234), m), WsjtxResult::Ok);
    EXPECT_EQ(m.type, 2u);
    EXPECT_EQ(m.snr, -12);
    EXPECT_EQ(m.df, 1234u);
    EXPECT_DOUBLE_EQ(m.dt, 0.1);
    EXPECT_EQ(m.message, "CQ K1ABC FN42");
    EXPECT_EQ(m.timeMs, 12u * 3600000u);

    ASSERT_EQ(Read(WsjtxWriter::QsoLogged("WSJT-X", "JA1XYZ", "PM95", 7074500, "FT8"), m),
              WsjtxResult::Ok);
    EXPECT_EQ(m.dxCall, "JA1XYZ");
    EXPECT_EQ(m.dxGrid, "PM95");
    EXPECT_EQ(m.txHz, 7074500u);
    EXPECT_EQ(m.offJulianDay, 2461383);

    ASSERT_EQ(Read(WsjtxWriter::WsprDecode("WSJT-X", "G4XYZ", "IO91", 14097050, -25), m),
              WsjtxResult::Ok);
    EXPECT_EQ(m.type, 10u);
    EXPECT_EQ(m.dxCall, "G4XYZ");
    EXPECT_EQ(m.hz, 14097050u);
    EXPECT_EQ(m.powerDbm, 37);

    ASSERT_EQ(Read(WsjtxWriter::Close("WSJT-X"), m), WsjtxResult::Ok);
    EXPECT_EQ(m.type, 6u);
}

TEST(Wsjtx, UnknownTypesAndExtraFieldsAreIgnored) {
    WsjtxMessage m;
    WsjtxWriter w;
    w.Header(static_cast<WsjtxType>(12), "X").Utf8("something new");
    EXPECT_EQ(Read(w.bytes(), m), WsjtxResult::UnknownType);
    Bytes extra = WsjtxWriter::Decode("X", "CQ K1ABC FN42", 0, 0);
    for (int i = 0; i < 100; ++i)
        extra.push_back(0xEE);
    ASSERT_EQ(Read(extra, m), WsjtxResult::Ok);
    EXPECT_EQ(m.message, "CQ K1ABC FN42");
    // A null string reads as empty.
    WsjtxWriter n;
    n.Header(WsjtxType::Close, "").Null();
    WsjtxWriter nullId;
    nullId.U32(live::WsjtxMagic).U32(2).U32(6).Null();
    ASSERT_EQ(Read(nullId.bytes(), m), WsjtxResult::Ok);
    EXPECT_EQ(m.id, "");
    // A QDateTime with an offset carries four more bytes.
    WsjtxWriter q;
    q.Header(WsjtxType::QsoLogged, "X").I64(2461383).U32(0).U8(2).I32(3600);
    q.Utf8("K1ABC").Utf8("FN42").U64(14074000).Utf8("FT8");
    ASSERT_EQ(Read(q.bytes(), m), WsjtxResult::Ok);
    EXPECT_EQ(m.dxCall, "K1ABC");
}

TEST(Wsjtx, HostileDatagramsAreRefused) {
    WsjtxMessage m;
    EXPECT_EQ(Read({}, m), WsjtxResult::NotWsjtx);
    EXPECT_EQ(Read({0xAD, 0xBC, 0xCB}, m), WsjtxResult::NotWsjtx);
    Bytes wrongMagic = WsjtxWriter::Heartbeat("X");
    wrongMagic[0] = 0xAC;
    EXPECT_EQ(Read(wrongMagic, m), WsjtxResult::NotWsjtx);

    // Every cut inside a known message is refused, never read past.
    const Bytes whole[] = {WsjtxWriter::Heartbeat("WSJT-X"),
                           WsjtxWriter::Status("WSJT-X", 14074000, "FT8"),
                           WsjtxWriter::Decode("WSJT-X", "CQ K1ABC FN42", -3, 900),
                           WsjtxWriter::QsoLogged("WSJT-X", "K1ABC", "FN42", 14074000, "FT8"),
                           WsjtxWriter::WsprDecode("WSJT-X", "K1ABC", "FN42", 14097000, -20)};
    for (const Bytes& b : whole) {
        // Status and QSO logged carry fields past the last one read here.
        const std::size_t needed = b[11] == 1   ? b.size() - 7
                                   : b[11] == 5 ? b.size() - 25
                                                : b.size();
        for (std::size_t n = 0; n < needed; ++n) {
            const Bytes cut(b.begin(), b.begin() + static_cast<long>(n));
            const WsjtxResult r = Read(cut, m);
            EXPECT_NE(r, WsjtxResult::Ok) << "type " << int(b[11]) << " cut at " << n;
        }
    }

    // A string length that runs past the end (a lying length).
    WsjtxWriter lie;
    lie.U32(live::WsjtxMagic).U32(3).U32(2).U32(0x7FFFFFFF).U8('A');
    EXPECT_EQ(Read(lie.bytes(), m), WsjtxResult::BadLength);
    WsjtxWriter lie2;
    lie2.Header(WsjtxType::Decode, "X").Bool(true).U32(0).I32(0).Double(0).U32(0).Utf8("~");
    lie2.U32(0xFFFFFFFE);
    EXPECT_EQ(Read(lie2.bytes(), m), WsjtxResult::BadLength);
    // A time zone QDateTime cannot be taken.
    WsjtxWriter zone;
    zone.Header(WsjtxType::QsoLogged, "X").I64(0).U32(0).U8(3).Utf8("Europe/Paris");
    EXPECT_EQ(Read(zone.bytes(), m), WsjtxResult::BadValue);
    // A long string is read past and cut.
    WsjtxWriter longText;
    longText.Header(WsjtxType::Close, std::string(100000, 'x'));
    ASSERT_EQ(Read(longText.bytes(), m), WsjtxResult::Ok);
    EXPECT_EQ(m.id.size(), live::MaxWsjtxString);
}

TEST(Wsjtx, SpotterTurnsMessagesIntoSpots) {
    live::WsjtxSpotter spotter;
    WsjtxMessage m;
    auto take = [&](const Bytes& b) {
        EXPECT_EQ(Read(b, m), WsjtxResult::Ok);
        return spotter.Take(m, 1000);
    };
    // A decode before any status has no frequency.
    auto s = take(WsjtxWriter::Decode("A", "CQ K1ABC FN42", -10, 1500));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->call, "K1ABC");
    EXPECT_EQ(s->locator, "FN42");
    EXPECT_EQ(s->kHz, 0);
    EXPECT_EQ(s->band, "");
    EXPECT_EQ(s->source, live::SpotSource::Ft8);

    EXPECT_FALSE(take(WsjtxWriter::Status("A", 14074000, "FT8")));
    EXPECT_FALSE(take(WsjtxWriter::Heartbeat("A")));
    s = take(WsjtxWriter::Decode("A", "K1ABC G4XYZ IO91", -3, 1500));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->call, "G4XYZ");
    EXPECT_DOUBLE_EQ(s->kHz, 14075.5);
    EXPECT_EQ(s->band, "20m");
    EXPECT_EQ(s->mode, "FT8");
    EXPECT_EQ(s->snr, -3);
    EXPECT_EQ(s->minuteOfDay, 720);
    // Another program's status does not move this one's frequency.
    EXPECT_FALSE(take(WsjtxWriter::Status("B", 7074000, "FT4")));
    s = take(WsjtxWriter::Decode("A", "CQ JA1XYZ PM95", 0, 500));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->band, "20m");
    // Close forgets the program.
    EXPECT_FALSE(take(WsjtxWriter::Close("A")));
    s = take(WsjtxWriter::Decode("A", "CQ JA1XYZ PM95", 0, 500));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kHz, 0);
    // No call, no spot.
    EXPECT_FALSE(take(WsjtxWriter::Decode("A", "TNX 73 GL", 0, 500)));

    s = take(WsjtxWriter::QsoLogged("A", "ja1xyz", "PM95", 7074500, "FT8"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->call, "JA1XYZ");
    EXPECT_EQ(s->band, "40m");
    s = take(WsjtxWriter::WsprDecode("A", "G4XYZ", "IO91", 14097050, -25));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->source, live::SpotSource::Wspr);
    EXPECT_EQ(s->locator, "IO91");
    EXPECT_EQ(s->comment, "37 dBm");
    EXPECT_FALSE(take(WsjtxWriter::WsprDecode("A", "junk!", "IO91", 14097050, -25)));
}

} // namespace
