// A designation: the operator (or the program) pointing at a bearing, with
// the reason it happened. The viewer makes one designation for every bearing
// it shows; each consumer decides by the reason whether it acts:
// - the local azimuth server publishes every one of them (its rules
//   concern the bearing text alone);
// - the antenna turns only on what the operator chose on purpose
//   (TurnsAntenna below): a click, Enter, a chosen row or spot, a command.
#pragma once

#include <optional>
#include <string>

namespace azlink {

enum class DesignationReason {
    PointerClick,      // a left click on the map with a pointed bearing (short path)
    LongPathClick,     // a right click on the map (the long path)
    LookupTyping,      // the call-sign lookup while the call is typed
    CallEnter,         // Enter in the call field
    ListRowChosen,     // a DX list row chosen by a click or by Enter
    ListRowMoved,      // the DX list's selection moved by the keyboard
    ActivationRefresh, // the viewer's refresh when it becomes active
    SpotChosen,        // a live station chosen in the spot list
    Command,           // an explicit antenna command (turn to short / long path)
};

struct Designation {
    DesignationReason reason = DesignationReason::PointerClick;
    // The bearing in whole degrees as published ("87"), 0..359.
    std::string bearing;
    // The target position, when the designation has one (a map point, a DX
    // row, a resolved call, a spot), degrees north and east positive.
    std::optional<double> lat;
    std::optional<double> lon;
    // The designation points the long way round (bearing is already the long path).
    bool longPath = false;
};

// Whether the antenna acts on a designation of this reason.
inline bool TurnsAntenna(DesignationReason reason) {
    switch (reason) {
    case DesignationReason::PointerClick:
    case DesignationReason::LongPathClick:
    case DesignationReason::CallEnter:
    case DesignationReason::ListRowChosen:
    case DesignationReason::SpotChosen:
    case DesignationReason::Command:
        return true;
    case DesignationReason::LookupTyping:
    case DesignationReason::ListRowMoved:
    case DesignationReason::ActivationRefresh:
        return false;
    }
    return false;
}

// Whether the local azimuth server publishes a designation of this reason:
// every bearing the viewer shows, as it always has; the long-path click and
// the antenna commands turn the antenna alone.
inline bool Publishes(DesignationReason reason) {
    return reason != DesignationReason::LongPathClick && reason != DesignationReason::Command;
}

} // namespace azlink
