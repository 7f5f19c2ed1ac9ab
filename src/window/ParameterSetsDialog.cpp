#include "window/ParameterSetsDialog.h"
#include "window/WidgetLook.h"

#include "widgets/MessageBox.h"
#include "settings/ParameterSets.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QCoreApplication>

namespace {

const QColor Navy(0, 0, 128);
QString Caption()
{
    return QCoreApplication::translate("ParameterSetsDialog", "Наборы параметров");
}

} // namespace

TParameterSetsDialog::TParameterSetsDialog(Instrument &instrument, const QString &settingsPath,
                                           RecordSource currentRecord, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_sets(instrument, settingsPath)
    , m_currentRecord(std::move(currentRecord))
{
    setObjectName(QStringLiteral("ParameterSetsDialog"));
    setWindowTitle(QCoreApplication::translate("ParameterSetsDialog", "Наборы параметров ..."));
    setModal(true);
    setFixedSize(652, 330);
    setFont(pixelFont(QStringLiteral("Arial"), 18));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        setTextColor(this, role, Qt::blue);

    SetsLabelLMDStaticText = new QLabel(QCoreApplication::translate("ParameterSetsDialog", "Сохранённые наборы:"), this);
    SetsLabelLMDStaticText->setObjectName(QStringLiteral("SetsLabelLMDStaticText"));
    SetsLabelLMDStaticText->setGeometry(10, 6, 330, 24);
    setTextColor(SetsLabelLMDStaticText, QPalette::WindowText, Navy);

    SetsLMDListBox = new QListWidget(this);
    SetsLMDListBox->setObjectName(QStringLiteral("SetsLMDListBox"));
    SetsLMDListBox->setGeometry(10, 32, 330, 288);
    SetsLMDListBox->setFont(pixelFont(QStringLiteral("Times New Roman"), 18));
    SetsLMDListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row is one line of the same font: thousands of sets are laid out
    // without measuring each.
    SetsLMDListBox->setUniformItemSizes(true);

    auto makeButton = [this](const char *name, const QString &text, int y) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setFont(pixelFont(QStringLiteral("Courier New"), 17, true));
        button->setCursor(Qt::PointingHandCursor);
        button->setAutoDefault(false);
        button->setGeometry(352, y, 290, 44);
        return button;
    };
    SaveSetLMDButton = makeButton("SaveSetLMDButton", QCoreApplication::translate("ParameterSetsDialog", "Сохранить текущие как ..."), 32);
    LoadSetLMDButton = makeButton("LoadSetLMDButton", QCoreApplication::translate("ParameterSetsDialog", "Загрузить"), 84);
    DeleteSetLMDButton = makeButton("DeleteSetLMDButton", QCoreApplication::translate("ParameterSetsDialog", "Удалить"), 136);
    CloseLMDButton = makeButton("CloseLMDButton", QCoreApplication::translate("ParameterSetsDialog", "Закрыть"), 276);
    setTextColor(CloseLMDButton, QPalette::ButtonText, Navy);

    connect(SaveSetLMDButton, &QPushButton::clicked, this, &TParameterSetsDialog::SaveSetLMDButtonClick);
    connect(LoadSetLMDButton, &QPushButton::clicked, this, &TParameterSetsDialog::LoadSetLMDButtonClick);
    connect(DeleteSetLMDButton, &QPushButton::clicked, this, &TParameterSetsDialog::DeleteSetLMDButtonClick);
    connect(CloseLMDButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(SetsLMDListBox, &QListWidget::itemSelectionChanged, this, &TParameterSetsDialog::updateButtons);
    connect(SetsLMDListBox, &QListWidget::itemActivated, this, &TParameterSetsDialog::LoadSetLMDButtonClick);

    showNames();
    SetsLMDListBox->setFocus();
}

void TParameterSetsDialog::showNames(const QString &selected)
{
    SetsLMDListBox->clear();
    SetsLMDListBox->addItems(m_sets.names());
    const QList<QListWidgetItem *> found = SetsLMDListBox->findItems(selected, Qt::MatchFixedString);
    if (!selected.isEmpty() && !found.isEmpty())
        SetsLMDListBox->setCurrentItem(found.first());
    else if (SetsLMDListBox->count() > 0)
        SetsLMDListBox->setCurrentRow(0);
    updateButtons();
}

QString TParameterSetsDialog::selectedName() const
{
    const QListWidgetItem *item = SetsLMDListBox->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void TParameterSetsDialog::updateButtons()
{
    const bool selected = !selectedName().isEmpty();
    LoadSetLMDButton->setEnabled(selected);
    DeleteSetLMDButton->setEnabled(selected);
}

void TParameterSetsDialog::report(const InstrumentFailure &failure)
{
    showMessageBox(this, failure.text, Caption(),
                   failure.kind == InstrumentFailure::Kind::Refused ? QMessageBox::Warning : QMessageBox::Critical);
}

void TParameterSetsDialog::SaveSetLMDButtonClick()
{
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("SetNameInputDialog"));
    ask.setWindowTitle(QCoreApplication::translate("ParameterSetsDialog", "Сохранить текущие как ..."));
    ask.setLabelText(QCoreApplication::translate("ParameterSetsDialog", "Название набора (не длиннее %1 символов):").arg(ParameterSets::MaxNameLength));
    ask.setTextValue(selectedName());
    if (auto *edit = ask.findChild<QLineEdit *>())
        edit->selectAll();
    if (ask.exec() != QDialog::Accepted)
        return;
    const QString name = ask.textValue().trimmed();
    if (const std::optional<QString> problem = m_sets.nameProblem(name)) {
        showMessageBox(this, *problem, Caption(), QMessageBox::Warning);
        return;
    }
    if (m_sets.contains(name)) {
        const auto answer = showMessageBox(
            this, QCoreApplication::translate("ParameterSetsDialog", "Набор \"%1\" уже есть. Заменить его текущими параметрами?").arg(name),
            QCoreApplication::translate("ParameterSetsDialog", "Подтвердите замену набора!"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }
    if (const InstrumentOutcome failed = m_sets.save(name, m_currentRecord())) {
        report(*failed);
        return;
    }
    showNames(name);
}

void TParameterSetsDialog::LoadSetLMDButtonClick()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    GENERATOR_PARS loaded;
    if (const InstrumentOutcome failed = m_sets.load(name, this, &loaded)) {
        report(*failed);
        showNames(name); // a set removed behind the dialog's back goes from the list
        return;
    }
    emit setLoaded(loaded);
}

void TParameterSetsDialog::DeleteSetLMDButtonClick()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    const auto answer = showMessageBox(this, QCoreApplication::translate("ParameterSetsDialog", "Удалить набор параметров \"%1\"?").arg(name),
                                       QCoreApplication::translate("ParameterSetsDialog", "Подтвердите удаление набора!"), QMessageBox::Question,
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    const int row = SetsLMDListBox->currentRow();
    if (const InstrumentOutcome failed = m_sets.remove(name))
        report(*failed);
    showNames();
    if (SetsLMDListBox->count() > 0)
        SetsLMDListBox->setCurrentRow(std::min(row, SetsLMDListBox->count() - 1));
}
