#pragma once

#include <QCursor>
#include <QString>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QWidget;
class TIniFile;
class TMainForm;

// One module detection. The worker does no work of its own: it has each step
// run on the main thread, waits for it, and sleeps between the steps so that
// the window repaints. The steps lock the window, load the device library,
// find and check the module, show the outcome, hand the parameters to the
// generator panel and unlock the window. The thread frees itself when it ends.
class TInitDevicesThread : public QThread
{
    Q_OBJECT

public:
    // mainForm must outlive the thread: its steps write the window directly.
    TInitDevicesThread(TMainForm *mainForm, bool CreateSuspended);
    ~TInitDevicesThread() override;

    // How many detection threads exist right now.
    static int liveCount() { return s_liveCount.load(); }

    // Sets every control inside group, at every depth, to enabled; the group
    // itself keeps its state.
    static void EnableSweep(QWidget *group, bool enabled);

protected:
    void run() override;

private:
    void Execute();
    // Runs step on the main thread and waits for it; an exception raised in
    // the step is raised again here.
    void Synchronize(const std::function<void()> &step);
    void ReportException();

    void StartDetection();
    void OpenDevice();
    void CheckDevice();
    void ShowDetectionResult();
    void ApplySettings();
    void FinishDetection();

    void ReportError();
    void ControlsState(bool Finished);
    void ModuleDisplay(bool Finished);

    TMainForm *m_mainForm;

    bool Failed = false;
    std::unique_ptr<TIniFile> SettingsFile; // first detection only
    bool ModuleOk = false;
    std::uint16_t VirtualSlot = 0xFFFF;
    std::uint8_t UsbSpeed = 2;
    char ModuleName[32] = {};
    std::optional<QCursor> SavedCursor; // none: no override cursor was set
    QString ErrorText;

    static std::atomic<int> s_liveCount;
};
