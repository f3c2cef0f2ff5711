#include "live/Wsjtx.h"

#include <cstring>

namespace live {

namespace {

// Reads big-endian fields; the first fault sticks.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    WsjtxResult fault() const { return fault_; }
    bool ok() const { return fault_ == WsjtxResult::Ok; }

    std::uint64_t Uint(std::size_t bytes) {
        if (!ok()) return 0;
        if (n_ - pos_ < bytes) {
            fault_ = WsjtxResult::Truncated;
            return 0;
        }
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            v = (v << 8) | d_[pos_ + i];
        pos_ += bytes;
        return v;
    }
    std::uint8_t U8() { return static_cast<std::uint8_t>(Uint(1)); }
    bool Bool() { return U8() != 0; }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Uint(4)); }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::uint64_t U64() { return Uint(8); }
    std::int64_t I64() { return static_cast<std::int64_t>(U64()); }
    double Double() {
        const std::uint64_t bits = U64();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    std::string Utf8() {
        const std::uint32_t length = U32();
        if (!ok() || length == 0xFFFFFFFFu) return {};
        if (n_ - pos_ < length) {
            fault_ = WsjtxResult::BadLength;
            return {};
        }
        const std::size_t keep = length < MaxWsjtxString ? length : MaxWsjtxString;
        std::string s(reinterpret_cast<const char*>(d_ + pos_), keep);
        pos_ += length;
        return s;
    }
    // QDateTime: Julian day and ms; a time kind 2 carries an offset that is
    // skipped (the values are UTC-based), 3 (a time zone) is refused.
    void DateTime(std::int64_t& day, std::uint32_t& ms) {
        day = I64();
        ms = U32();
        const std::uint8_t kind = U8();
        if (kind == 2)
            (void)I32();
        else if (kind > 2 && ok())
            fault_ = WsjtxResult::BadValue;
    }

  private:
    const std::uint8_t* d_;
    std::size_t n_;
    std::size_t pos_ = 0;
    WsjtxResult fault_ = WsjtxResult::Ok;
};

} // namespace

WsjtxResult ReadWsjtx(const std::uint8_t* data, std::size_t size, WsjtxMessage& m) {
    m = WsjtxMessage{};
    if (data == nullptr || size < 12) return WsjtxResult::NotWsjtx;
    ByteReader r(data, size);
    if (r.U32() != WsjtxMagic) return WsjtxResult::NotWsjtx;
    m.schema = r.U32();
    m.type = r.U32();
    m.id = r.Utf8();
    if (!r.ok()) return r.fault();
    switch (static_cast<WsjtxType>(m.type)) {
    case WsjtxType::Heartbeat:
        m.maxSchema = r.U32();
        m.version = r.Utf8();
        m.revision = r.Utf8();
        break;
    case WsjtxType::Status:
        m.dialHz = r.U64();
        m.mode = r.Utf8();
        m.dxCall = r.Utf8();
        m.report = r.Utf8();
        m.txMode = r.Utf8();
        m.txEnabled = r.Bool();
        m.transmitting = r.Bool();
        m.decoding = r.Bool();
        m.rxDf = r.U32();
        m.txDf = r.U32();
        m.deCall = r.Utf8();
        m.deGrid = r.Utf8();
        m.dxGrid = r.Utf8();
        break;
    case WsjtxType::Decode:
        m.isNew = r.Bool();
        m.timeMs = r.U32();
        m.snr = r.I32();
        m.dt = r.Double();
        m.df = r.U32();
        m.mode = r.Utf8();
        m.message = r.Utf8();
        m.lowConfidence = r.Bool();
        m.offAir = r.Bool();
        break;
    case WsjtxType::QsoLogged:
        r.DateTime(m.offJulianDay, m.offMs);
        m.dxCall = r.Utf8();
        m.dxGrid = r.Utf8();
        m.txHz = r.U64();
        m.mode = r.Utf8();
        break;
    case WsjtxType::Close:
        break;
    case WsjtxType::WsprDecode:
        m.isNew = r.Bool();
        m.timeMs = r.U32();
        m.snr = r.I32();
        m.dt = r.Double();
        m.hz = r.U64();
        m.drift = r.I32();
        m.dxCall = r.Utf8();
        m.dxGrid = r.Utf8();
        m.powerDbm = r.I32();
        m.offAir = r.Bool();
        break;
    default:
        return WsjtxResult::UnknownType;
    }
    return r.fault();
}

WsjtxWriter& WsjtxWriter::Header(WsjtxType type, const std::string& id, std::uint32_t schema) {
    U32(WsjtxMagic);
    U32(schema);
    U32(static_cast<std::uint32_t>(type));
    return Utf8(id);
}

WsjtxWriter& WsjtxWriter::U8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
}

WsjtxWriter& WsjtxWriter::U32(std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        bytes_.push_back(static_cast<std::uint8_t>(v >> s));
    return *this;
}

WsjtxWriter& WsjtxWriter::U64(std::uint64_t v) {
    for (int s = 56; s >= 0; s -= 8)
        bytes_.push_back(static_cast<std::uint8_t>(v >> s));
    return *this;
}

WsjtxWriter& WsjtxWriter::Double(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return U64(bits);
}

WsjtxWriter& WsjtxWriter::Utf8(const std::string& v) {
    U32(static_cast<std::uint32_t>(v.size()));
    bytes_.insert(bytes_.end(), v.begin(), v.end());
    return *this;
}

std::vector<std::uint8_t> WsjtxWriter::Heartbeat(const std::string& id) {
    WsjtxWriter w;
    w.Header(WsjtxType::Heartbeat, id).U32(3).Utf8("2.6.1").Utf8("abc");
    return w.bytes();
}

std::vector<std::uint8_t> WsjtxWriter::Status(const std::string& id, std::uint64_t dialHz,
                                              const std::string& mode) {
    WsjtxWriter w;
    w.Header(WsjtxType::Status, id).U64(dialHz).Utf8(mode).Utf8("").Utf8("").Utf8(mode);
    w.Bool(false).Bool(false).Bool(true).U32(1500).U32(1500).Utf8("N0CALL").Utf8("JN18").Utf8("");
    // Fields of later schemas (watchdog, sub-mode, fast mode, special operation...).
    w.Bool(false).Utf8("").Bool(false).U8(0);
    return w.bytes();
}

std::vector<std::uint8_t> WsjtxWriter::Decode(const std::string& id, const std::string& text,
                                              std::int32_t snr, std::uint32_t df,
                                              const std::string& mode) {
    WsjtxWriter w;
    w.Header(WsjtxType::Decode, id).Bool(true).U32(12 * 3600000).I32(snr).Double(0.1).U32(df);
    w.Utf8(mode).Utf8(text).Bool(false).Bool(false);
    return w.bytes();
}

std::vector<std::uint8_t> WsjtxWriter::QsoLogged(const std::string& id, const std::string& call,
                                                 const std::string& grid, std::uint64_t hz,
                                                 const std::string& mode) {
    WsjtxWriter w;
    w.Header(WsjtxType::QsoLogged, id).I64(2461383).U32(43200000).U8(1);
    w.Utf8(call).Utf8(grid).U64(hz).Utf8(mode).Utf8("-10").Utf8("-12").Utf8("100").Utf8("");
    return w.bytes();
}

std::vector<std::uint8_t> WsjtxWriter::WsprDecode(const std::string& id, const std::string& call,
                                                  const std::string& grid, std::uint64_t hz,
                                                  std::int32_t snr) {
    WsjtxWriter w;
    w.Header(WsjtxType::WsprDecode, id).Bool(true).U32(3600000).I32(snr).Double(0.3).U64(hz);
    w.I32(0).Utf8(call).Utf8(grid).I32(37).Bool(false);
    return w.bytes();
}

std::vector<std::uint8_t> WsjtxWriter::Close(const std::string& id) {
    WsjtxWriter w;
    w.Header(WsjtxType::Close, id);
    return w.bytes();
}

} // namespace live
