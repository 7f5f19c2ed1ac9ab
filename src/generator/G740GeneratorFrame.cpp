#include "generator/G740GeneratorFrame.h"

#include "device/ModuleInterface.h"
#include "runtime/MessageBox.h"

#include <cstring>

TG740GeneratorFrame::TG740GeneratorFrame(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(963, 581);
    QFont panelFont(QStringLiteral("Arial"));
    panelFont.setPixelSize(17);
    setFont(panelFont);
    BusyFlag = false;
}

TG740GeneratorFrame::~TG740GeneratorFrame()
{
    if (m_moduleInterface && !m_moduleInterface->STOP_GENERATOR())
        showMessageBox(nullptr, QStringLiteral("Не могу выполнить функцию STOP_GENERATOR()"),
                       QStringLiteral("Ошибка ~TG740GeneratorFrame()!!!"));
}

void TG740GeneratorFrame::ApplyGeneratorPars(ModuleInterface *Interface, const GENERATOR_PARS *Pars)
{
    m_moduleInterface = Interface;
    if (Pars)
        std::memcpy(static_cast<void *>(&GeneratorPars), Pars, sizeof GeneratorPars);
}

void TG740GeneratorFrame::ReadGeneratorPars(GENERATOR_PARS *Pars)
{
    GetGeneratorPars();
    if (Pars)
        std::memcpy(static_cast<void *>(Pars), &GeneratorPars, sizeof GeneratorPars);
}

void TG740GeneratorFrame::GetGeneratorPars()
{
}
