#pragma once

#include "scpi/ScpiCommandTree.h"

#include <QThread>

// A small instrument for the generic SCPI layer: one value of every kind of
// parameter, and one command that fails as a device would.
struct TestDevice
{
    double frequency = 1000;
    double start = 0;
    double stop = 0;
    double points = 10;
    double time = 0;
    double voltage = 0;
    double gain = 0;
    bool output = false;
    int shape = 0;
    QString name;
    int steps = 0; // TEST:STEP units run
};

inline ScpiCommandTree testTree(TestDevice &device)
{
    ScpiCommandTree tree;
    tree.addStatusCommands();

    const auto number = [&tree](const QString &header, const ScpiNumeric &declared, double &field) {
        tree.add({header, declared,
                  [&field](const ScpiArgument &argument, ScpiSession &) -> ScpiStatus {
                      field = argument.number;
                      return std::nullopt;
                  },
                  [&field](ScpiSession &) { return ScpiReply::number(field); }});
    };
    number(QStringLiteral("[SOURce:]FREQuency[:CW]"), {ScpiUnit::Hertz, 0, 1e6, 1000}, device.frequency);
    number(QStringLiteral("[SOURce:]FREQuency:STARt"), {ScpiUnit::Hertz, 0, 1e6, 0}, device.start);
    number(QStringLiteral("[SOURce:]FREQuency:STOP"), {ScpiUnit::Hertz, 0, 1e6, 0}, device.stop);
    number(QStringLiteral("[SOURce:]SWEep:POINts"), {ScpiUnit::None, 0, 4095, 10, true}, device.points);
    number(QStringLiteral("[SOURce:]SWEep:TIME"), {ScpiUnit::Second, 0, 10, 0}, device.time);
    number(QStringLiteral("[SOURce:]VOLTage:OFFSet"), {ScpiUnit::Volt, -4, 4, 0}, device.voltage);
    number(QStringLiteral("[SOURce:]VOLTage:GAIN"), {ScpiUnit::Decibel, -24, 10, 0}, device.gain);

    tree.add({QStringLiteral("OUTPut[:STATe]"), ScpiBoolean{},
              [&device](const ScpiArgument &argument, ScpiSession &) -> ScpiStatus {
                  device.output = argument.boolean;
                  return std::nullopt;
              },
              [&device](ScpiSession &) { return ScpiReply::boolean(device.output); }});
    const ScpiChoice shapes{{QStringLiteral("SINusoid"), QStringLiteral("SQUare"), QStringLiteral("TRIangle")}};
    tree.add({QStringLiteral("[SOURce:]FUNCtion[:SHAPe]"), shapes,
              [&device](const ScpiArgument &argument, ScpiSession &) -> ScpiStatus {
                  device.shape = argument.choice;
                  return std::nullopt;
              },
              [&device, shapes](ScpiSession &) { return ScpiReply::text(Scpi::choiceText(shapes, device.shape)); }});
    tree.add({QStringLiteral("MEMory:STORe"), ScpiText{},
              [&device](const ScpiArgument &argument, ScpiSession &) -> ScpiStatus {
                  device.name = argument.text;
                  return std::nullopt;
              },
              {}});
    tree.add({QStringLiteral("MEMory:NAME"), {}, {},
              [&device](ScpiSession &) { return ScpiReply::string(device.name); }});
    tree.add({QStringLiteral("*IDN"), {}, {}, [](ScpiSession &) { return ScpiReply::text("Test,Box,0,1"); }});
    tree.add({QStringLiteral("*RST"), {},
              [&device](const ScpiArgument &, ScpiSession &) -> ScpiStatus {
                  device = TestDevice();
                  return std::nullopt;
              },
              {}});
    // A unit that takes a little while, as a settings save does.
    tree.add({QStringLiteral("TEST:STEP"), {},
              [&device](const ScpiArgument &, ScpiSession &) -> ScpiStatus {
                  ++device.steps;
                  QThread::usleep(200);
                  return std::nullopt;
              },
              [&device](ScpiSession &) { return ScpiReply::number(device.steps); }});
    tree.add({QStringLiteral("TEST:FAIL"), {},
              [](const ScpiArgument &, ScpiSession &) -> ScpiStatus {
                  return ScpiError{ScpiErrorCode::ExecutionError, QStringLiteral("the device says no")};
              },
              [](ScpiSession &) -> ScpiReply {
                  return ScpiError{ScpiErrorCode::ExecutionError, QStringLiteral("the device says no")};
              }});
    return tree;
}
