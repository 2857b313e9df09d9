// Platform-internal: windows repaint at most once per display frame.
#pragma once

class QObject;

// Installs the pacing on the application object (once, when it is made).
void InstallFramePacing(QObject& Application);
