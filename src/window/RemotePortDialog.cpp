#include "window/RemotePortDialog.h"

#include "remote/G740Remote.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

RemotePortDialog::RemotePortDialog(quint16 port, QWidget *parent)
    : QDialog(parent)
    , m_fixed(new QRadioButton(QCoreApplication::translate("RemotePortDialog", "Порт:"), this))
    , m_anyFree(new QRadioButton(QCoreApplication::translate("RemotePortDialog", "Любой свободный порт"), this))
    , m_number(new QSpinBox(this))
{
    setObjectName(QStringLiteral("RemotePortDialog"));
    setWindowTitle(QCoreApplication::translate("RemotePortDialog", "Порт удалённого управления"));
    m_fixed->setObjectName(QStringLiteral("FixedPortRadioButton"));
    m_anyFree->setObjectName(QStringLiteral("AnyFreePortRadioButton"));
    m_number->setObjectName(QStringLiteral("PortSpinBox"));
    m_number->setRange(1, 65535);
    // Any free port still offers the usual one for a switch back.
    m_number->setValue(port != 0 ? port : G740Remote::DefaultPort);
    (port != 0 ? m_fixed : m_anyFree)->setChecked(true);
    m_number->setEnabled(port != 0);
    connect(m_fixed, &QRadioButton::toggled, m_number, &QSpinBox::setEnabled);

    auto *hint = new QLabel(QCoreApplication::translate(
                                "RemotePortDialog",
                                "Свободный порт выбирается при каждом включении; его номер виден в заголовке окна."),
                            this);
    hint->setWordWrap(true);
    hint->setMinimumWidth(hint->fontMetrics().averageCharWidth() * 44);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("RemotePortButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_fixed, 0, 0);
    layout->addWidget(m_number, 0, 1);
    layout->addWidget(m_anyFree, 1, 0, 1, 2);
    layout->addWidget(hint, 2, 0, 1, 2);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

quint16 RemotePortDialog::port() const
{
    return m_anyFree->isChecked() ? 0 : static_cast<quint16>(m_number->value());
}
