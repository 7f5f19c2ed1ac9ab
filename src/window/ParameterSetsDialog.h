#pragma once

#include "generator/GeneratorPars.h"
#include "instrument/InstrumentSets.h"

#include <QDialog>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

// The operator's named parameter sets: the list of the settings file's sets,
// the current record saved under a name, a set loaded into the instrument
// (and so onto the panel), a set deleted. Modal; Escape closes it.
class TParameterSetsDialog : public QDialog
{
    Q_OBJECT

public:
    // The record to save, as the window shows it.
    using RecordSource = std::function<GENERATOR_PARS()>;

    TParameterSetsDialog(Instrument &instrument, const QString &settingsPath, RecordSource currentRecord,
                         QWidget *parent = nullptr);

    QLabel *SetsLabelLMDStaticText = nullptr;
    QListWidget *SetsLMDListBox = nullptr;
    QPushButton *SaveSetLMDButton = nullptr;
    QPushButton *LoadSetLMDButton = nullptr;
    QPushButton *DeleteSetLMDButton = nullptr;
    QPushButton *CloseLMDButton = nullptr;

    // The name asked for by "Сохранить текущие как ..."; its dialog is a
    // QInputDialog named "SetNameInputDialog".
    void SaveSetLMDButtonClick();
    void LoadSetLMDButtonClick();
    void DeleteSetLMDButtonClick();

signals:
    // A set became the instrument's record; pars as read from the file.
    void setLoaded(const GENERATOR_PARS &pars);

private:
    // Fills the list again from the file; selects name when given.
    void showNames(const QString &selected = QString());
    QString selectedName() const;
    void updateButtons();
    void report(const InstrumentFailure &failure);

    InstrumentSets m_sets;
    RecordSource m_currentRecord;
};
