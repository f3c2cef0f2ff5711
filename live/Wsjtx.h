// The UDP datagrams of FT8/FT4 programs (WSJT-X's message protocol), read by
// hand from a byte span. Plain C++, no Qt.
//
// Every datagram is a Qt QDataStream in big-endian order: quint32 magic
// 0xADBCCBDA, quint32 schema, quint32 type, utf8 id, then the type's fields.
// utf8 is a quint32 byte length and the bytes (0xFFFFFFFF: a null string);
// bool is one byte; double IEEE 64-bit; QTime a quint32 of ms since
// midnight; QDateTime a qint64 Julian day, quint32 ms and a quint8 kind of time
// (2 adds a qint32 offset in seconds).
//
// Fields are only ever appended, so trailing bytes after the fields read here
// are ignored, and a type not read here is reported as such and ignored. A
// datagram that ends inside a field or whose string length runs past its end
// is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace live {

inline constexpr std::uint32_t WsjtxMagic = 0xADBCCBDA;

enum class WsjtxType : std::uint32_t {
    Heartbeat = 0,
    Status = 1,
    Decode = 2,
    QsoLogged = 5,
    Close = 6,
    WsprDecode = 10,
};

enum class WsjtxResult {
    Ok,          // a message of a type read here
    UnknownType, // a well-formed header of a type not read here: ignore it
    NotWsjtx,    // shorter than a header, or not the magic number
    Truncated,   // ends inside a field
    BadLength,   // a string's length runs past the datagram's end
    BadValue,    // a value this reader cannot take (a QDateTime with a zone)
};

// Longest string kept (bytes); longer ones are read past and cut.
inline constexpr std::size_t MaxWsjtxString = 256;

struct WsjtxMessage {
    std::uint32_t schema = 0;
    std::uint32_t type = 0;
    std::string id;
    // Heartbeat
    std::uint32_t maxSchema = 0;
    std::string version, revision;
    // Status
    std::uint64_t dialHz = 0;
    std::string mode, dxCall, report, txMode;
    bool txEnabled = false, transmitting = false, decoding = false;
    std::uint32_t rxDf = 0, txDf = 0;
    std::string deCall, deGrid, dxGrid;
    // Decode
    bool isNew = false;
    std::uint32_t timeMs = 0;
    std::int32_t snr = 0;
    double dt = 0;
    std::uint32_t df = 0;
    std::string message; // Decode's text (mode in `mode`)
    bool lowConfidence = false, offAir = false;
    // QSO logged (dxCall, dxGrid, mode above)
    std::int64_t offJulianDay = 0;
    std::uint32_t offMs = 0;
    std::uint64_t txHz = 0;
    // WSPR decode (snr, dt, offAir above; the call in dxCall, grid in dxGrid)
    std::uint64_t hz = 0;
    std::int32_t drift = 0;
    std::int32_t powerDbm = 0;
};

WsjtxResult ReadWsjtx(const std::uint8_t* data, std::size_t size, WsjtxMessage& out);

// A writer of the same format: the tests' sender, the benchmarks, the fuzz
// corpus. Appends in big-endian order.
class WsjtxWriter {
  public:
    WsjtxWriter& Header(WsjtxType type, const std::string& id, std::uint32_t schema = 3);
    WsjtxWriter& U8(std::uint8_t v);
    WsjtxWriter& Bool(bool v) { return U8(v ? 1 : 0); }
    WsjtxWriter& U32(std::uint32_t v);
    WsjtxWriter& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    WsjtxWriter& U64(std::uint64_t v);
    WsjtxWriter& I64(std::int64_t v) { return U64(static_cast<std::uint64_t>(v)); }
    WsjtxWriter& Double(double v);
    WsjtxWriter& Utf8(const std::string& v);
    WsjtxWriter& Null() { return U32(0xFFFFFFFFu); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // Whole messages with the usual fields.
    static std::vector<std::uint8_t> Heartbeat(const std::string& id);
    static std::vector<std::uint8_t> Status(const std::string& id, std::uint64_t dialHz,
                                            const std::string& mode);
    static std::vector<std::uint8_t> Decode(const std::string& id, const std::string& text,
                                            std::int32_t snr, std::uint32_t df,
                                            const std::string& mode = "~");
    static std::vector<std::uint8_t> QsoLogged(const std::string& id, const std::string& call,
                                               const std::string& grid, std::uint64_t hz,
                                               const std::string& mode);
    static std::vector<std::uint8_t> WsprDecode(const std::string& id, const std::string& call,
                                                const std::string& grid, std::uint64_t hz,
                                                std::int32_t snr);
    static std::vector<std::uint8_t> Close(const std::string& id);

  private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace live
