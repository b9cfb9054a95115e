#pragma once

class QObject;

// The sender every event handler receives.
using TObject = QObject;
