#pragma once

#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class DetectionWindow;
class QWidget;
class TIniFile;

// One module detection. The worker does no work of its own: it has each step
// run on the main thread, waits for it, and sleeps between the steps so that
// the window repaints. The steps lock the window, have the instrument load
// the device library, find and check the module, show the outcome, hand the
// parameters to the generator panel and unlock the window. At most one report
// box per detection. The thread frees itself when it ends.
class TInitDevicesThread : public QThread
{
    Q_OBJECT

public:
    // window must outlive the thread: its steps use it.
    TInitDevicesThread(DetectionWindow *window, bool CreateSuspended);
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

    DetectionWindow *m_window;

    bool Failed = false;
    std::unique_ptr<TIniFile> SettingsFile; // first detection only
    bool ModuleOk = false;
    QString ErrorText;

    static std::atomic<int> s_liveCount;
};
