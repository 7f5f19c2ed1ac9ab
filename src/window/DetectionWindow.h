#pragma once

#include "generator/GeneratorPars.h"

class Instrument;
class QWidget;
class TIniFile;
class QString;

// What a module detection needs of the window it runs for. The detection's
// steps run on the main thread and call these in their order: started,
// the settings (first detection) or the panel's record (later ones), the
// outcome, the settings applied, finished.
class DetectionWindow
{
public:
    // The instrument whose module is looked for.
    virtual Instrument &detectionInstrument() = 0;
    // The parent of the detection's report box.
    virtual QWidget *reportParent() = 0;

    // Locks the window and shows the module as being looked for.
    virtual void detectionStarted() = 0;
    virtual bool isFirstDetection() const = 0;
    // Writes the default settings to path; false after a reported failure.
    virtual bool createDefaultSettings(const QString &path) = 0;
    // The record the detection hands to the panel: read from the settings at
    // the first detection, kept from the panel at later ones.
    virtual GENERATOR_PARS &detectionRecord() = 0;
    virtual void keepPanelRecord() = 0;
    // Shows the module found (or not) on the window.
    virtual void showDetectionResult(bool moduleOk) = 0;
    // After a successful detection: the panel gets the module and the record,
    // and the settings area its auto-save choice from settingsFile (none: off).
    virtual void applyDetectedSettings(const TIniFile *settingsFile) = 0;
    // Unlocks the window; the last step of every detection.
    virtual void finishDetection(bool moduleOk) = 0;

protected:
    ~DetectionWindow() = default;
};
