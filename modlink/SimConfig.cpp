#include "SimConfig.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <optional>

namespace modlink {

namespace {

constexpr std::array<const char *, 8> OperationNames = {
    "OpenModule",         "CloseModule",     "GetModuleName",  "GetUsbSpeed",
    "SET_GENERATOR_PARS", "START_GENERATOR", "STOP_GENERATOR", "GET_MODULE_DESCRIPTION",
};

constexpr std::size_t MaxNameLength = 17; // the caller's buffer holds 18 bytes

std::uint32_t bit(Operation operation)
{
    return 1u << static_cast<unsigned>(operation);
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// A decimal number that fills the whole text and does not exceed maximum.
std::optional<unsigned long> parseNumber(std::string_view text, unsigned long maximum)
{
    unsigned long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > maximum)
        return std::nullopt;
    return value;
}

// Parses "N[,N...]" into slot numbers; nullopt when one is not a slot.
std::optional<std::vector<std::uint16_t>> parseSlots(std::string_view text)
{
    std::vector<std::uint16_t> slots;
    while (true) {
        const auto comma = text.find(',');
        const auto slot = parseNumber(trimmed(text.substr(0, comma)), 0xFFFF);
        if (!slot)
            return std::nullopt;
        slots.push_back(static_cast<std::uint16_t>(*slot));
        if (comma == std::string_view::npos)
            return slots;
        text.remove_prefix(comma + 1);
    }
}

// Parses "OP[,OP...]" into a set of operation bits; nullopt on an unknown name.
std::optional<std::uint32_t> parseOperations(std::string_view text, std::string &unknown)
{
    std::uint32_t bits = 0;
    while (true) {
        const auto comma = text.find(',');
        const auto name = trimmed(text.substr(0, comma));
        bool found = false;
        for (std::size_t i = 0; i < OperationNames.size(); ++i) {
            if (name == OperationNames[i]) {
                bits |= bit(static_cast<Operation>(i));
                found = true;
            }
        }
        if (!found) {
            unknown = name;
            return std::nullopt;
        }
        if (comma == std::string_view::npos)
            return bits;
        text.remove_prefix(comma + 1);
    }
}

// Applies one entry; returns an explanation when it is malformed.
std::optional<std::string> applyEntry(SimConfig &config, std::string_view entry)
{
    const auto equals = entry.find('=');
    const auto key = trimmed(entry.substr(0, equals));
    const auto value = equals == std::string_view::npos ? std::string_view() : entry.substr(equals + 1);
    const bool hasValue = equals != std::string_view::npos;

    if (key == "nomodule" && !hasValue) {
        config.moduleAttached = false;
    } else if (key == "slot" && hasValue) {
        const auto slot = parseNumber(trimmed(value), 0xFFFF);
        if (!slot)
            return "the slot must be a number from 0 to 65535";
        config.slots = {static_cast<std::uint16_t>(*slot)};
    } else if (key == "slots" && hasValue) {
        const auto slots = parseSlots(value);
        if (!slots)
            return "the slots must be numbers from 0 to 65535, separated by commas";
        config.slots = *slots;
    } else if (key == "unplugged" && hasValue) {
        if (trimmed(value) == "all") {
            config.allUnplugged = true;
        } else {
            const auto slots = parseSlots(value);
            if (!slots)
                return "unplugged takes 'all' or slot numbers from 0 to 65535, separated by commas";
            config.unplugged.insert(config.unplugged.end(), slots->begin(), slots->end());
        }
    } else if (key == "speed" && hasValue) {
        const auto speed = parseNumber(trimmed(value), 0xFF);
        if (!speed)
            return "the speed must be a number from 0 to 255";
        config.speed = static_cast<std::uint8_t>(*speed);
    } else if (key == "name" && hasValue) {
        if (value.size() > MaxNameLength)
            return "the name is longer than 17 bytes";
        config.name = value;
    } else if (key == "version" && hasValue) {
        const auto text = trimmed(value);
        const auto dot = text.find('.');
        const auto major = parseNumber(text.substr(0, dot), 0xFFFF);
        const auto minor = dot == std::string_view::npos ? std::nullopt : parseNumber(text.substr(dot + 1), 0xFFFF);
        if (!major || !minor)
            return "the version must be MAJOR.MINOR, each from 0 to 65535";
        config.version = static_cast<std::uint32_t>(*major << 16 | *minor);
    } else if (key == "factory" && hasValue) {
        if (trimmed(value) != "null")
            return "the only factory setting is factory=null";
        config.factoryNull = true;
    } else if ((key == "fail" || key == "throw") && hasValue) {
        std::string unknown;
        const auto bits = parseOperations(value, unknown);
        if (!bits)
            return "unknown operation '" + unknown + "'";
        (key == "fail" ? config.failing : config.throwing) |= *bits;
    } else {
        return "unknown entry";
    }
    return std::nullopt;
}

} // namespace

const char *operationName(Operation operation)
{
    return OperationNames[static_cast<unsigned>(operation)];
}

bool SimConfig::fails(Operation operation) const
{
    return failing & bit(operation);
}

bool SimConfig::throws(Operation operation) const
{
    return throwing & bit(operation);
}

bool SimConfig::present(std::uint16_t slot) const
{
    const auto has = [slot](const std::vector<std::uint16_t> &list) {
        return std::find(list.begin(), list.end(), slot) != list.end();
    };
    return moduleAttached && has(slots) && !allUnplugged && !has(unplugged);
}

SimConfig parseSimConfig(std::string_view text)
{
    SimConfig config;
    while (!text.empty()) {
        const auto semicolon = text.find_first_of(";\n");
        const auto entry = trimmed(text.substr(0, semicolon));
        if (!entry.empty()) {
            if (const auto problem = applyEntry(config, entry)) {
                SimConfig broken;
                broken.valid = false;
                broken.error = "bad entry '" + std::string(entry) + "': " + *problem;
                return broken;
            }
        }
        if (semicolon == std::string_view::npos)
            break;
        text.remove_prefix(semicolon + 1);
    }
    return config;
}

SimConfig currentSimConfig()
{
    const char *variable = std::getenv("MODLINK_SIM");
    std::string text = variable ? variable : "";
    // Read afresh at every call, so that the file changes the modules while
    // a program runs.
    if (const char *file = std::getenv("MODLINK_SIM_FILE")) {
        std::ifstream stream(file);
        if (stream) {
            std::ostringstream content;
            content << stream.rdbuf();
            text += '\n';
            text += content.str();
        }
    }
    SimConfig config = parseSimConfig(text);
    if (!config.valid) {
        // Said once per distinct text, so that a detection probing 127 slots
        // does not repeat it 127 times.
        static std::mutex mutex;
        static std::string reported;
        const std::lock_guard lock(mutex);
        if (reported != text) {
            reported = text;
            std::fprintf(stderr, "Modlink: MODLINK_SIM(_FILE) \"%s\": %s; the library behaves as broken\n",
                         text.c_str(), config.error.c_str());
        }
    }
    return config;
}

} // namespace modlink
