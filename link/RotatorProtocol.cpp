#include "link/RotatorProtocol.h"

#include <cmath>
#include <cstdlib>

namespace azlink {

namespace {

std::string_view Trim(std::string_view s) {
    auto space = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
    };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// A plain decimal number: optional sign, digits, optional point and digits
// (at least one digit in all), at most 24 characters. No exponent, no hex, no
// "inf"/"nan", no spaces inside.
std::optional<double> Decimal(std::string_view s, bool allowSign) {
    if (s.empty() || s.size() > 24) return std::nullopt;
    std::size_t i = 0;
    if (allowSign && (s[0] == '-' || s[0] == '+')) ++i;
    bool digits = false, point = false;
    for (std::size_t k = i; k < s.size(); ++k) {
        if (Digit(s[k]))
            digits = true;
        else if (s[k] == '.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (!digits) return std::nullopt;
    const std::string copy(s);
    char* end = nullptr;
    const double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// A heading 0..360 (360 -> 0); none outside.
std::optional<double> Heading(double v) {
    if (!(v >= 0 && v <= 360)) return std::nullopt;
    return v >= 360 ? 0.0 : v;
}

std::string Tenths(int tenths) {
    const int whole = tenths / 10, part = tenths % 10;
    std::string s = std::to_string(whole);
    if (part != 0) {
        s += '.';
        s += static_cast<char>('0' + part);
    }
    return s;
}

// Tenths of a degree in 0..3599.
int NormalTenths(int tenths) {
    return ((tenths % 3600) + 3600) % 3600;
}

std::string XmlEscaped(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::optional<RotatorKind> RotatorKindFromText(std::string_view text) {
    text = Trim(text);
    std::string u;
    for (char c : text)
        u += Upper(c);
    if (u.empty() || u == "ROTCTLD") return RotatorKind::Rotctld;
    if (u == "PST") return RotatorKind::Pst;
    if (u == "N1MM") return RotatorKind::N1mm;
    return std::nullopt;
}

std::string RotatorKindText(RotatorKind kind) {
    switch (kind) {
    case RotatorKind::Pst:
        return "PST";
    case RotatorKind::N1mm:
        return "N1MM";
    case RotatorKind::Rotctld:
        break;
    }
    return "ROTCTLD";
}

int DefaultPort(RotatorKind kind) {
    switch (kind) {
    case RotatorKind::Pst:
        return 12000;
    case RotatorKind::N1mm:
        return 12040;
    case RotatorKind::Rotctld:
        break;
    }
    return 4533;
}

int WholeAzimuth(long long degrees) {
    return static_cast<int>(((degrees % 360) + 360) % 360);
}

int LongPath(long long shortPath) {
    return WholeAzimuth(WholeAzimuth(shortPath) + 180);
}

int AzimuthDistance(int a, int b) {
    const int d = std::abs(WholeAzimuth(a) - WholeAzimuth(b));
    return d > 180 ? 360 - d : d;
}

std::string RotctldTurn(int azimuth) {
    return "P " + std::to_string(WholeAzimuth(azimuth)) + " 0\n";
}
std::string RotctldStop() {
    return "S\n";
}
std::string RotctldPark() {
    return "K\n";
}
std::string RotctldPosition() {
    return "p\n";
}

RotctldLine ParseRotctldLine(std::string_view line) {
    RotctldLine r;
    if (line.size() > MaxAnswerBytes) return r;
    line = Trim(line);
    if (line.rfind("RPRT", 0) == 0) {
        std::string_view n = Trim(line.substr(4));
        if (n.size() > 7 || n.find('.') != std::string_view::npos) return r;
        if (const auto v = Decimal(n, true)) {
            r.kind = RotctldLine::Kind::Report;
            r.code = static_cast<int>(*v);
        }
        return r;
    }
    // The extended answer "Azimuth: 123.000000" counts like the plain one.
    if (line.rfind("Azimuth:", 0) == 0) line = Trim(line.substr(8));
    if (const auto v = Decimal(line, true)) {
        r.kind = RotctldLine::Kind::Number;
        r.value = *v;
    }
    return r;
}

std::string PstTurn(int tenths) {
    return "<PST><AZIMUTH>" + Tenths(NormalTenths(tenths)) + "</AZIMUTH></PST>";
}
std::string PstStop() {
    return "<PST><STOP>1</STOP></PST>";
}
std::string PstPark() {
    return "<PST><PARK>1</PARK></PST>";
}
std::string PstQuery() {
    return "<PST>AZ?</PST>";
}

std::optional<double> ParsePstAnswer(std::string_view datagram) {
    if (datagram.size() > MaxAnswerBytes) return std::nullopt;
    datagram = Trim(datagram);
    if (datagram.size() < 4 || Upper(datagram[0]) != 'A' || Upper(datagram[1]) != 'Z' ||
        datagram[2] != ':')
        return std::nullopt;
    const auto v = Decimal(Trim(datagram.substr(3)), false);
    if (!v) return std::nullopt;
    return Heading(*v);
}

std::string N1mmTurn(std::string_view rotorName, int tenths) {
    const int t = NormalTenths(tenths);
    std::string degrees = std::to_string(t / 10);
    degrees += '.';
    degrees += static_cast<char>('0' + t % 10);
    return "<N1MMRotor><rotor>" + XmlEscaped(rotorName) + "</rotor><goazi>" + degrees +
           "</goazi><offset>0.0</offset><bidirectional>0</bidirectional><freqband>" +
           std::to_string(N1mmBand) + "</freqband></N1MMRotor>";
}

std::string N1mmStop(std::string_view rotorName) {
    return "<N1MMRotor><stop><rotor>" + XmlEscaped(rotorName) + "</rotor><freqband>" +
           std::to_string(N1mmBand) + "</freqband></stop></N1MMRotor>";
}

std::optional<N1mmHeading> ParseN1mmHeading(std::string_view datagram) {
    if (datagram.size() > MaxAnswerBytes) return std::nullopt;
    datagram = Trim(datagram);
    const std::size_t at = datagram.rfind('@');
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view name = Trim(datagram.substr(0, at));
    const std::string_view tenths = Trim(datagram.substr(at + 1));
    if (tenths.empty() || tenths.size() > 5) return std::nullopt;
    for (char c : tenths)
        if (!Digit(c)) return std::nullopt;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return std::nullopt;
    const auto h = Heading(std::atoi(std::string(tenths).c_str()) / 10.0);
    if (!h) return std::nullopt;
    return N1mmHeading{std::string(name), *h};
}

bool SameRotorName(std::string_view chosen, std::string_view heard) {
    chosen = Trim(chosen);
    heard = Trim(heard);
    if (chosen.empty()) return true;
    if (chosen.size() != heard.size()) return false;
    for (std::size_t i = 0; i < chosen.size(); ++i)
        if (Upper(chosen[i]) != Upper(heard[i])) return false;
    return true;
}

bool TurnGate::Admit(int azimuth) {
    azimuth = WholeAzimuth(azimuth);
    if (underWay_) {
        const int d = AzimuthDistance(*underWay_, azimuth);
        if (d == 0 || d <= min_) return false;
    }
    underWay_ = azimuth;
    return true;
}

} // namespace azlink
