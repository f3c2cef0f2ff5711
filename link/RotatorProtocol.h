// The rotator's rules, free of any toolkit: the three channels' command texts
// and the parsers of their answers, the addresses with each channel's default
// port, the long path, and the turn gate that keeps the antenna from being
// sent the same target again.
//
// Channels:
// - Hamlib rotctld over TCP: "P 123 0\n" (turn), "S\n" (stop), "K\n" (park),
//   "p\n" (position: azimuth and elevation, one per line); set commands are
//   answered "RPRT 0" or "RPRT -n".
// - PstRotator-style UDP: one command per datagram, "<PST><AZIMUTH>123</AZIMUTH></PST>",
//   "<PST><STOP>1</STOP></PST>", "<PST><PARK>1</PARK></PST>", "<PST>AZ?</PST>";
//   answers "AZ:123" (CR-terminated) to the sender's host on port + 1.
// - N1MM-style rotor UDP: "<N1MMRotor><rotor>NAME</rotor><goazi>55.0</goazi>…";
//   the rotor program broadcasts "NAME @ 550" (tenths of a degree) on 13010.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace azlink {

enum class RotatorKind { Rotctld, Pst, N1mm };

// The settings value: "ROTCTLD", "PST", "N1MM" (any case); empty is ROTCTLD.
// Unknown text: none.
std::optional<RotatorKind> RotatorKindFromText(std::string_view text);
std::string RotatorKindText(RotatorKind kind);

// 4533, 12000, 12040.
int DefaultPort(RotatorKind kind);
// The port on which N1MM-style rotor programs broadcast their heading.
inline constexpr int N1mmHeadingPort = 13010;
// The frequency band sent with N1MM-style commands (MHz; 14 = 20 m).
inline constexpr int N1mmBand = 14;

// The azimuth in whole degrees 0..359 of any bearing in whole degrees.
int WholeAzimuth(long long degrees);
// The long path of a short-path bearing: (sp + 180) mod 360, 0..359.
int LongPath(long long shortPath);
// Circular distance of two azimuths, 0..180.
int AzimuthDistance(int a, int b);

// --- rotctld -----------------------------------------------------------
std::string RotctldTurn(int azimuth); // "P 123 0\n"
std::string RotctldStop();            // "S\n"
std::string RotctldPark();            // "K\n"
std::string RotctldPosition();        // "p\n"

// One line of rotctld's answers (without its LF).
struct RotctldLine {
    enum class Kind { Report, Number, Other };
    Kind kind = Kind::Other;
    int code = 0;     // Report: the RPRT code
    double value = 0; // Number: the value (finite)
};
RotctldLine ParseRotctldLine(std::string_view line);

// --- PstRotator-style UDP ------------------------------------------------
// Azimuth in tenths of a degree: "123" when whole, else "123.5".
std::string PstTurn(int tenths);
std::string PstStop();
std::string PstPark();
std::string PstQuery();
// The heading of an "AZ:123" answer (CR, LF, spaces around allowed; one
// decimal or more), 0 <= h < 360 after 360 -> 0; none for anything else.
std::optional<double> ParsePstAnswer(std::string_view datagram);

// --- N1MM-style rotor UDP -----------------------------------------------
// The name is escaped for XML (& < > " ').
std::string N1mmTurn(std::string_view rotorName, int tenths);
std::string N1mmStop(std::string_view rotorName);
struct N1mmHeading {
    std::string name;
    double heading = 0; // degrees, 0 <= h < 360
};
// "NAME @ HHHH" (HHHH tenths of a degree, no leading zeros needed); none for
// anything else.
std::optional<N1mmHeading> ParseN1mmHeading(std::string_view datagram);
// Whether a broadcast name is the chosen rotor's (case and surrounding
// spaces ignored; an empty chosen name takes every rotor).
bool SameRotorName(std::string_view chosen, std::string_view heard);

// Longest answer line or datagram looked at.
inline constexpr std::size_t MaxAnswerBytes = 512;

// --- The turn gate ----------------------------------------------------------
// Decides whether a new target is sent: not when it is the target under way,
// and not when it lies within `minDegrees` of it (circular distance; 0 turns
// that off). Stop, park, a failure and switching the rotator on or off end
// the target under way (Clear).
class TurnGate {
  public:
    explicit TurnGate(double minDegrees = 2) { SetMinimum(minDegrees); }
    // Negative or not a number counts as 0.
    void SetMinimum(double minDegrees) { min_ = minDegrees > 0 ? minDegrees : 0; }
    double minimum() const { return min_; }
    // True when `azimuth` (0..359) is to be sent; it is then the one under way.
    bool Admit(int azimuth);
    void Clear() { underWay_.reset(); }
    std::optional<int> underWay() const { return underWay_; }

  private:
    double min_ = 2;
    std::optional<int> underWay_;
};

} // namespace azlink
