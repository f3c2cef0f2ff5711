// The viewer's side of the azimuth server (the conversation count behind
// DdeClientConnected) and the creation of the antenna console, which owns
// the rotator's menu, heading field, map layer, right click and notices.
#include "viewer/UnitAzimut.h"

#include "app/Program.h"
#include "viewer/AntennaConsole.h"
#include "viewer/ViewerHub.h"

#include <QMenuBar>
#include <QPointer>

void TFormAzimut::StartLink() {
    Antenna = new viewer::AntennaConsole(hub(), menuBar(), ClientArea, ImageAzimut);

    // The server outlives the windows: it reaches the viewer only while it exists.
    const QPointer<TFormAzimut> self(this);
    if (BearingServer* server = program_.platform.bearingServer()) {
        server->opened = [self] {
            if (self) self->DataOpen();
        };
        server->closed = [self] {
            if (self) self->DataClose();
        };
    }
}

void TFormAzimut::DataOpen() {
    ViewerState& v = program_.viewer;
    ++v.OpenConversations;
    v.DdeClientConnected = true;
}

void TFormAzimut::DataClose() {
    ViewerState& v = program_.viewer;
    if (v.OpenConversations > 0) --v.OpenConversations;
    v.DdeClientConnected = v.OpenConversations > 0;
}
