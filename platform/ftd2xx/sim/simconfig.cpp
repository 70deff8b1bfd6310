#include "platform/ftd2xx/sim/simconfig.h"

#include <charconv>
#include <map>
#include <optional>
#include <stdexcept>

#include "platform/ftd2xx/sim/simnumber.h"

namespace platform::ftd2xx::sim {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// A text in double quotes. Built by appending: g++ 12 warns falsely (restrict) on the optimised
// form of "\"" + std::string(text).
std::string quoted(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + 2);
    result.push_back('"');
    result.append(text);
    result.push_back('"');
    return result;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::optional<double> number(std::string_view text)
{
    return parseNumber(trimmed(text));
}

std::optional<long long> whole(std::string_view text, long long low, long long high)
{
    text = trimmed(text);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high)
        return std::nullopt;
    return value;
}

// Empty when the signal text is good, else what is wrong with it.
std::string parseSignal(std::string_view text, SignalConfig &signal)
{
    const auto parts = split(text, ':');
    std::vector<double> values;
    for (size_t i = 1; i < parts.size(); ++i) {
        const auto value = number(parts[i]);
        if (!value)
            return "signal: \"" + std::string(parts[i]) + "\" is not a number";
        values.push_back(*value);
    }
    const std::string_view shape = trimmed(parts[0]);
    if (shape == "constant") {
        if (values.size() != 1)
            return "signal: constant takes one value (constant:V)";
        signal.shape = SignalShape::Constant;
        signal.level = values[0];
        return {};
    }
    if (shape == "sine") {
        if (values.empty() || values.size() > 3)
            return "signal: sine takes sine:FREQ[:AMPL[:MEAN]]";
        signal.shape = SignalShape::Sine;
        signal.frequency = values[0];
        signal.amplitude = values.size() > 1 ? values[1] : 1.0;
        signal.level = values.size() > 2 ? values[2] : 0.0;
        return {};
    }
    if (shape == "steps") {
        if (values.size() < 2 || values[0] <= 0.0)
            return "signal: steps takes steps:SECONDS:V1[:V2...] with SECONDS above 0";
        signal.shape = SignalShape::Steps;
        signal.dwell = values[0];
        signal.steps.assign(values.begin() + 1, values.end());
        return {};
    }
    return "signal: unknown shape \"" + std::string(shape) + "\" (constant, sine or steps)";
}

void addPatterns(std::string_view text, std::vector<std::string> &patterns)
{
    for (const auto part : split(text, '+')) {
        const auto pattern = trimmed(part);
        if (!pattern.empty())
            patterns.emplace_back(pattern);
    }
}

std::optional<SetupStep> setupStep(std::string_view text)
{
    static const std::map<std::string_view, SetupStep> steps{
        {"none", SetupStep::None},        {"open", SetupStep::Open},
        {"baud", SetupStep::BaudRate},    {"data", SetupStep::DataCharacteristics},
        {"flow", SetupStep::FlowControl}, {"latency", SetupStep::LatencyTimer}};
    const auto found = steps.find(trimmed(text));
    if (found == steps.end())
        return std::nullopt;
    return found->second;
}

// Applies one device key; empty when it was good, else what is wrong.
std::string applyDeviceKey(std::string_view key, std::string_view value, DeviceConfig &device)
{
    const auto bad = [&](std::string_view expected) {
        return std::string(key) + ": \"" + std::string(value) + "\" is not " +
               std::string(expected);
    };
    if (key == "desc") {
        device.description = std::string(value);
    } else if (key == "serial") {
        const auto serial = whole(value, 0, 0xFFFFFFFFLL);
        if (!serial)
            return bad("a serial number from 0 to 4294967295");
        device.serial = static_cast<uint32_t>(*serial);
    } else if (key == "model") {
        const auto model = whole(value, 0, 255);
        if (!model)
            return bad("a model number from 0 to 255");
        device.model = static_cast<int>(*model);
    } else if (key == "rate") {
        const auto rate = whole(value, 1, 1000000);
        if (!rate)
            return bad("a rate from 1 to 1000000 readings a second");
        device.rate = static_cast<int>(*rate);
    } else if (key == "signal") {
        return parseSignal(value, device.signal);
    } else if (key == "noise") {
        const auto noise = number(value);
        if (!noise || *noise < 0.0)
            return bad("a noise amplitude of 0 or more");
        device.signal.noise = *noise;
    } else if (key == "shunt") {
        const auto step = number(value);
        if (!step)
            return bad("a shunt step in mV/V");
        device.shuntStep = *step;
    } else if (key == "integrity") {
        const auto on = whole(value, 0, 1);
        if (!on)
            return bad("0 or 1");
        device.integrityError = *on == 1;
    } else if (key == "silent") {
        addPatterns(value, device.faults.silent);
    } else if (key == "reject") {
        addPatterns(value, device.faults.reject);
    } else if (key == "delay") {
        const auto delay = whole(value, 0, 600000);
        if (!delay)
            return bad("a delay from 0 to 600000 ms");
        device.faults.replyDelayMs = static_cast<int>(*delay);
    } else if (key == "split") {
        const auto bytes = whole(value, 0, 65536);
        if (!bytes)
            return bad("a chunk size from 0 to 65536 bytes");
        device.faults.splitBytes = static_cast<int>(*bytes);
    } else if (key == "junk") {
        const auto parts = split(value, ':');
        const auto every = whole(parts[0], 0, 1000000000);
        const auto count = parts.size() > 1 ? whole(parts[1], 1, 1000) : std::optional(1LL);
        if (!every || !count || parts.size() > 2)
            return bad("EVERY[:COUNT] (frames, bytes from 1 to 1000)");
        device.faults.junkEvery = static_cast<int>(*every);
        device.faults.junkCount = static_cast<int>(*count);
    } else if (key == "unplugged") {
        const auto on = whole(value, 0, 1);
        if (!on)
            return bad("0 or 1");
        device.faults.unplugged = *on == 1;
    } else if (key == "fail") {
        const auto step = setupStep(value);
        if (!step)
            return bad("a set-up step (open, baud, data, flow, latency or none)");
        device.faults.failStep = *step;
    } else {
        return "unknown key \"" + std::string(key) + "\"";
    }
    return {};
}

struct Setting
{
    int device; // 0: every device
    std::string key;
    std::string value;
};

} // namespace

bool matchesCommand(const std::vector<std::string> &patterns, std::string_view command)
{
    const std::string_view mnemonic = command.substr(0, command.find_first_of("?="));
    for (const auto &pattern : patterns) {
        if (pattern == "*" || pattern == command || pattern == mnemonic)
            return true;
        // "GAIN=" stands for every write of GAIN, whatever the value.
        if (pattern.size() > 1 && pattern.back() == '=' && command.size() >= pattern.size() &&
            command.substr(0, pattern.size()) == pattern)
            return true;
    }
    return false;
}

SimConfig parseConfig(std::string_view text, std::vector<std::string> *errors)
{
    const auto report = [&](std::string problem) {
        if (!errors)
            throw std::invalid_argument("HXR_SIM: " + problem);
        errors->push_back("HXR_SIM: " + std::move(problem));
    };

    int deviceCount = 1;
    std::vector<Setting> settings;
    for (const auto item : split(text, ',')) {
        const auto pair = trimmed(item);
        if (pair.empty())
            continue;
        const size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            report(quoted(pair) + " is not key=value");
            continue;
        }
        std::string_view key = trimmed(pair.substr(0, equals));
        const std::string_view value = trimmed(pair.substr(equals + 1));
        int device = 0;
        if (const size_t dot = key.find('.'); dot != std::string_view::npos) {
            const auto number = whole(key.substr(0, dot), 1, MaxDevices);
            if (!number) {
                report(quoted(key) + ": the device number must be 1 to " +
                       std::to_string(MaxDevices));
                continue;
            }
            device = static_cast<int>(*number);
            key = key.substr(dot + 1);
        }
        if (key == "devices") {
            const auto count = whole(value, 0, MaxDevices);
            if (device != 0 || !count)
                report("devices: \"" + std::string(value) + "\" is not a count from 0 to " +
                       std::to_string(MaxDevices));
            else
                deviceCount = static_cast<int>(*count);
            continue;
        }
        settings.push_back({device, std::string(key), std::string(value)});
    }

    // Keys for every device first, then the ones for single devices, whatever their order.
    DeviceConfig common;
    for (const auto &setting : settings) {
        if (setting.device != 0)
            continue;
        if (auto problem = applyDeviceKey(setting.key, setting.value, common); !problem.empty())
            report(std::move(problem));
    }
    SimConfig config;
    config.devices.clear();
    for (int i = 0; i < deviceCount; ++i) {
        DeviceConfig device = common;
        device.serial = common.serial + static_cast<uint32_t>(i);
        config.devices.push_back(std::move(device));
    }
    for (const auto &setting : settings) {
        if (setting.device == 0)
            continue;
        if (setting.device > deviceCount) {
            report(std::to_string(setting.device) + "." + setting.key + ": there is no device " +
                   std::to_string(setting.device) + " (devices=" + std::to_string(deviceCount) +
                   ")");
            continue;
        }
        auto &device = config.devices[static_cast<size_t>(setting.device - 1)];
        if (auto problem = applyDeviceKey(setting.key, setting.value, device); !problem.empty())
            report(std::move(problem));
    }
    return config;
}

} // namespace platform::ftd2xx::sim
