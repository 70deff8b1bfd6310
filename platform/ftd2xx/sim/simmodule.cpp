#include "platform/ftd2xx/sim/simmodule.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <sstream>
#include <utility>

#include "platform/ftd2xx/sim/simdevice.h"

namespace platform::ftd2xx::sim {

namespace {

constexpr size_t LogLimit = 100000;

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

// The frame log, in memory and in the HXR_SIM_LOG file.
class FrameLog
{
public:
    ~FrameLog()
    {
        if (file_)
            std::fclose(file_);
    }

    void setPath(const std::string &path)
    {
        std::lock_guard lock(mutex_);
        if (path == path_)
            return;
        if (file_)
            std::fclose(file_);
        file_ = nullptr;
        path_ = path;
        if (!path.empty()) {
            file_ = std::fopen(path.c_str(), "a");
            if (!file_)
                std::fprintf(stderr, "HXR_SIM_LOG: cannot open \"%s\" for appending\n",
                             path.c_str());
        }
    }

    void add(int device, const std::string &frame)
    {
        std::lock_guard lock(mutex_);
        lines_.emplace_back(device, frame);
        if (lines_.size() > LogLimit)
            lines_.pop_front();
        if (file_) {
            std::fwrite(frame.data(), 1, frame.size(), file_);
            std::fputc('\n', file_);
            std::fflush(file_);
        }
    }

    std::vector<std::string> lines(int device) const
    {
        std::lock_guard lock(mutex_);
        std::vector<std::string> out;
        for (const auto &[from, frame] : lines_)
            if (device < 0 || from == device)
                out.push_back(frame);
        return out;
    }

    void clear()
    {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::deque<std::pair<int, std::string>> lines_;
    std::string path_;
    std::FILE *file_ = nullptr;
};

class Registry
{
public:
    void configure(const SimConfig &config, bool byApi)
    {
        log_.setPath(config.logPath);
        std::vector<std::shared_ptr<SimDevice>> devices;
        for (size_t i = 0; i < config.devices.size(); ++i)
            devices.push_back(std::make_shared<SimDevice>(
                config.devices[i], static_cast<int>(i),
                [this](int device, const std::string &frame) { log_.add(device, frame); }));
        std::lock_guard lock(mutex_);
        devices_ = std::move(devices);
        byApi_ = byApi;
        configured_ = true;
    }

    void followEnvironment()
    {
        const std::string text = environment("HXR_SIM") + '\n' + environment("HXR_SIM_LOG");
        {
            std::lock_guard lock(mutex_);
            if (configured_ && (byApi_ || text == environmentText_))
                return;
            environmentText_ = text;
        }
        configure(fromEnvironment(), false);
    }

    void reset()
    {
        {
            std::lock_guard lock(mutex_);
            configured_ = false;
            byApi_ = false;
        }
        followEnvironment();
    }

    std::vector<std::shared_ptr<SimDevice>> devices()
    {
        followEnvironment();
        std::lock_guard lock(mutex_);
        return devices_;
    }

    std::shared_ptr<SimDevice> device(int index)
    {
        const auto all = devices();
        if (index < 0 || static_cast<size_t>(index) >= all.size())
            return nullptr;
        return all[static_cast<size_t>(index)];
    }

    FrameLog &log() { return log_; }

private:
    FrameLog log_; // outlives the devices, which log through it
    std::mutex mutex_;
    std::vector<std::shared_ptr<SimDevice>> devices_;
    std::string environmentText_;
    bool configured_ = false;
    bool byApi_ = false;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

} // namespace

void configure(const SimConfig &config)
{
    registry().configure(config, true);
}

SimConfig fromEnvironment()
{
    std::vector<std::string> errors;
    SimConfig config = parseConfig(environment("HXR_SIM"), &errors);
    for (const auto &error : errors)
        std::fprintf(stderr, "%s\n", error.c_str());
    config.logPath = environment("HXR_SIM_LOG");
    return config;
}

void reset()
{
    registry().reset();
}

namespace {

// The control file's keys as one HXR_SIM text: blank items dropped, line breaks as commas.
std::string controlKeys(const std::string &text)
{
    std::string keys;
    std::string item;
    std::istringstream lines(text);
    while (std::getline(lines, item, '\n')) {
        std::istringstream items(item);
        std::string key;
        while (std::getline(items, key, ',')) {
            const size_t first = key.find_first_not_of(" \t\r");
            if (first == std::string::npos)
                continue;
            const size_t last = key.find_last_not_of(" \t\r");
            if (!keys.empty())
                keys += ',';
            keys += key.substr(first, last - first + 1);
        }
    }
    return keys;
}

std::vector<std::shared_ptr<SimDevice>> onTheBus()
{
    followControlFile();
    std::vector<std::shared_ptr<SimDevice>> present;
    for (const auto &device : registry().devices())
        if (!device->unplugged())
            present.push_back(device);
    return present;
}

} // namespace

void followControlFile()
{
    static std::mutex mutex;
    static std::chrono::steady_clock::time_point lastLook;
    static std::string lastText;
    const std::string path = environment("HXR_SIM_CONTROL");
    if (path.empty())
        return;
    std::lock_guard lock(mutex);
    const auto now = std::chrono::steady_clock::now();
    if (lastLook != std::chrono::steady_clock::time_point{} &&
        now - lastLook < std::chrono::milliseconds(100))
        return;
    lastLook = now;
    std::ifstream file(path);
    std::stringstream content;
    content << file.rdbuf();
    const std::string text = file ? content.str() : std::string();
    if (text == lastText)
        return;
    lastText = text;
    const auto devices = registry().devices();
    // As many modules as run, so that keys for one of them ("2.delay=300") find it.
    std::vector<std::string> errors;
    const SimConfig control = parseConfig(
        "devices=" + std::to_string(std::max<size_t>(devices.size(), 1)) + "," + controlKeys(text),
        &errors);
    for (const auto &error : errors)
        std::fprintf(stderr, "HXR_SIM_CONTROL: %s\n", error.c_str());
    for (size_t i = 0; i < devices.size(); ++i) {
        if (control.devices.empty())
            devices[i]->setFaults(Faults{});
        else
            devices[i]->setFaults(
                (i < control.devices.size() ? control.devices[i] : control.devices.front()).faults);
    }
}

int deviceCount()
{
    return static_cast<int>(onTheBus().size());
}

std::shared_ptr<SimDevice> deviceAt(uint32_t index)
{
    const auto present = onTheBus();
    return index < present.size() ? present[index] : nullptr;
}

int moduleCount()
{
    return static_cast<int>(registry().devices().size());
}

std::shared_ptr<SimDevice> moduleAt(int device)
{
    return registry().device(device);
}

std::optional<double> parameter(int device, std::string_view mnemonic)
{
    const auto found = registry().device(device);
    return found ? found->parameter(mnemonic) : std::nullopt;
}

bool setParameter(int device, std::string_view mnemonic, double value)
{
    const auto found = registry().device(device);
    return found && found->setParameter(mnemonic, value);
}

Faults faults(int device)
{
    const auto found = registry().device(device);
    return found ? found->faults() : Faults{};
}

void setFaults(int device, const Faults &faults)
{
    if (const auto found = registry().device(device))
        found->setFaults(faults);
}

void setSignal(int device, const SignalConfig &signal)
{
    if (const auto found = registry().device(device))
        found->setSignal(signal);
}

void setIntegrityError(int device, bool on)
{
    if (const auto found = registry().device(device))
        found->setIntegrityError(on);
}

bool streaming(int device)
{
    const auto found = registry().device(device);
    return found && found->streaming();
}

bool isOpen(int device)
{
    const auto found = registry().device(device);
    return found && found->isOpen();
}

uint64_t framesSent(int device)
{
    const auto found = registry().device(device);
    return found ? found->framesSent() : 0;
}

uint64_t framesLost(int device)
{
    const auto found = registry().device(device);
    return found ? found->framesLost() : 0;
}

std::vector<std::string> frameLog(int device)
{
    return registry().log().lines(device);
}

void clearFrameLog()
{
    registry().log().clear();
}

} // namespace platform::ftd2xx::sim
