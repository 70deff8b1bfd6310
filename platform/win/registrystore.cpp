#include "platform/win/registrystore.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/win/wholefilewriter.h"

namespace platform::win {

namespace {

struct Value
{
    QString name;
    uint32_t type = RegNone;
    QByteArray data;
};

struct Node
{
    QString name;
    std::vector<Value> values;
    std::vector<Node> keys; // sorted by name, ignoring case
};

using Tree = std::map<HKey, Node>;

const std::map<HKey, QString> &rootNames()
{
    static const std::map<HKey, QString> names = {
        {HKeyClassesRoot, QStringLiteral("HKEY_CLASSES_ROOT")},
        {HKeyCurrentUser, QStringLiteral("HKEY_CURRENT_USER")},
        {HKeyLocalMachine, QStringLiteral("HKEY_LOCAL_MACHINE")},
        {HKeyUsers, QStringLiteral("HKEY_USERS")},
        {HKeyCurrentConfig, QStringLiteral("HKEY_CURRENT_CONFIG")}};
    return names;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList splitPath(const QString &path)
{
    QStringList parts;
    for (const QString &part : path.split(QLatin1Char('\\'))) {
        if (!part.isEmpty()) {
            parts.append(part);
        }
    }
    return parts;
}

QJsonObject toJson(const Node &node)
{
    QJsonArray values;
    for (const Value &value : node.values) {
        values.append(
            QJsonObject{{QStringLiteral("name"), value.name},
                        {QStringLiteral("type"), static_cast<qint64>(value.type)},
                        {QStringLiteral("data"), QString::fromLatin1(value.data.toBase64())}});
    }
    QJsonArray keys;
    for (const Node &key : node.keys) {
        QJsonObject object = toJson(key);
        object.insert(QStringLiteral("name"), key.name);
        keys.append(object);
    }
    return QJsonObject{{QStringLiteral("values"), values}, {QStringLiteral("keys"), keys}};
}

constexpr int FileVersion = 1;

bool hasOnlyMembers(const QJsonObject &object, std::initializer_list<const char *> members)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (std::none_of(members.begin(), members.end(),
                         [&](const char *member) { return it.key() == QLatin1String(member); })) {
            return false;
        }
    }
    return true;
}

// A value exactly as save() writes it: a name, a 32-bit type and base64 data.
std::optional<Value> valueFromJson(const QJsonValue &item)
{
    const QJsonObject value = item.toObject();
    const QJsonValue name = value.value(QStringLiteral("name"));
    const QJsonValue type = value.value(QStringLiteral("type"));
    const QJsonValue data = value.value(QStringLiteral("data"));
    if (!item.isObject() || !hasOnlyMembers(value, {"name", "type", "data"}) || !name.isString() ||
        !type.isDouble() || !data.isString()) {
        return std::nullopt;
    }
    const double number = type.toDouble();
    if (number < 0 || number > UINT32_MAX || number != static_cast<double>(type.toInteger())) {
        return std::nullopt;
    }
    const auto decoded = QByteArray::fromBase64Encoding(data.toString().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return std::nullopt;
    }
    return Value{name.toString(), static_cast<uint32_t>(number), *decoded};
}

// A key exactly as save() writes it; nothing unknown, no name twice, no name a path cannot reach.
// Anything else is another program's file, which we must not rewrite.
bool fromJson(const QJsonObject &object, Node &node, bool named)
{
    const QJsonValue values = object.value(QStringLiteral("values"));
    const QJsonValue keys = object.value(QStringLiteral("keys"));
    if (!hasOnlyMembers(object, named ? std::initializer_list<const char *>{"name", "values", "keys"}
                                      : std::initializer_list<const char *>{"values", "keys"}) ||
        !values.isArray() || !keys.isArray()) {
        return false;
    }
    if (named) {
        const QJsonValue name = object.value(QStringLiteral("name"));
        if (!name.isString() || name.toString().isEmpty() ||
            name.toString().contains(QLatin1Char('\\'))) {
            return false;
        }
        node.name = name.toString();
    }
    for (const QJsonValue &item : values.toArray()) {
        std::optional<Value> value = valueFromJson(item);
        if (!value || std::any_of(node.values.begin(), node.values.end(), [&](const Value &v) {
                return sameName(v.name, value->name);
            })) {
            return false;
        }
        node.values.push_back(std::move(*value));
    }
    for (const QJsonValue &item : keys.toArray()) {
        Node key;
        if (!item.isObject() || !fromJson(item.toObject(), key, true) ||
            std::any_of(node.keys.begin(), node.keys.end(),
                        [&](const Node &k) { return sameName(k.name, key.name); })) {
            return false;
        }
        node.keys.push_back(std::move(key));
    }
    std::stable_sort(node.keys.begin(), node.keys.end(), [](const Node &a, const Node &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return true;
}

enum class Loaded { Ok, Corrupt, Failed };

Loaded fromDocument(const QByteArray &bytes, Tree &tree)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return Loaded::Corrupt;
    }
    const QJsonObject top = document.object();
    const QJsonValue version = top.value(QStringLiteral("version"));
    const QJsonValue roots = top.value(QStringLiteral("roots"));
    if (!hasOnlyMembers(top, {"version", "roots"}) || !version.isDouble() ||
        version.toDouble() != FileVersion || !roots.isObject()) {
        return Loaded::Corrupt;
    }
    const QJsonObject rootObjects = roots.toObject();
    for (auto it = rootObjects.begin(); it != rootObjects.end(); ++it) {
        const auto root = std::find_if(tree.begin(), tree.end(),
                                       [&](const auto &entry) { return entry.second.name == it.key(); });
        if (root == tree.end() || !it.value().isObject()) {
            return Loaded::Corrupt;
        }
        Node node{root->second.name, {}, {}};
        if (!fromJson(it.value().toObject(), node, false)) {
            return Loaded::Corrupt;
        }
        root->second = std::move(node);
    }
    return Loaded::Ok;
}

// Why the calling thread's last call failed to read, lock or write the file.
thread_local QString lastFailure;

Loaded load(const QString &fileName, Tree &tree)
{
    tree.clear();
    for (const auto &[root, name] : rootNames()) {
        tree[root] = Node{name, {}, {}};
    }
    QFile file(fileName);
    if (!file.exists()) {
        return Loaded::Ok;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        lastFailure = file.errorString();
        return Loaded::Failed;
    }
    return fromDocument(file.readAll(), tree);
}

bool save(const QString &fileName, const Tree &tree)
{
    QJsonObject roots;
    for (const auto &[root, node] : tree) {
        if (!node.values.empty() || !node.keys.empty()) {
            roots.insert(node.name, toJson(node));
        }
    }
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{QStringLiteral("version"), FileVersion}, {QStringLiteral("roots"), roots}})
            .toJson(QJsonDocument::Indented);
    return WholeFileWriter::writeFile(fileName, bytes, &lastFailure);
}

Node *findKey(Node &parent, const QString &name)
{
    for (Node &key : parent.keys) {
        if (sameName(key.name, name)) {
            return &key;
        }
    }
    return nullptr;
}

Node *findPath(Tree &tree, HKey root, const QStringList &path)
{
    const auto it = tree.find(root);
    if (it == tree.end()) {
        return nullptr;
    }
    Node *node = &it->second;
    for (const QString &part : path) {
        node = findKey(*node, part);
        if (!node) {
            return nullptr;
        }
    }
    return node;
}

Node &addKey(Node &parent, const QString &name)
{
    const auto at = std::find_if(parent.keys.begin(), parent.keys.end(), [&](const Node &key) {
        return key.name.compare(name, Qt::CaseInsensitive) > 0;
    });
    return *parent.keys.insert(at, Node{name, {}, {}});
}

Value *findValue(Node &node, const QString &name)
{
    for (Value &value : node.values) {
        if (sameName(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

long loadError(Loaded loaded)
{
    return loaded == Loaded::Corrupt ? RegCorrupt : RegIoFailed;
}

// The lock of the programs that share a file: a lock on "NAME.lock", which the system drops when
// its holder ends, so a crash leaves nothing stale, and which needs no room on the disk.
class FileLock
{
public:
    explicit FileLock(const QString &fileName)
        : descriptor_(::open(QFile::encodeName(fileName + QStringLiteral(".lock")).constData(),
                             O_RDWR | O_CREAT | O_CLOEXEC, 0666))
    {
        if (descriptor_ < 0) {
            lastFailure = QString::fromLocal8Bit(std::strerror(errno));
        }
    }
    ~FileLock()
    {
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
    }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool tryLock(int milliseconds)
    {
        if (descriptor_ < 0) {
            return false;
        }
        for (int waited = 0;; waited += PollMilliseconds) {
            if (flock(descriptor_, LOCK_EX | LOCK_NB) == 0) {
                return true;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) {
                lastFailure = QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
            if (waited >= milliseconds) {
                lastFailure = QStringLiteral("The file is in use by another program");
                return false;
            }
            QThread::msleep(PollMilliseconds);
        }
    }

private:
    static constexpr int PollMilliseconds = 10;
    int descriptor_;
};

// Runs change on the file's tree under the lock and writes the tree back when change asks for it.
template <typename Change>
long modify(const QString &fileName, Change change)
{
    std::error_code made;
    std::filesystem::create_directories(
        QFile::encodeName(QFileInfo(fileName).absolutePath()).toStdString(), made);
    if (made) {
        lastFailure = QString::fromStdString(made.message());
        return RegIoFailed;
    }
    FileLock lock(fileName);
    if (!lock.tryLock(5000)) {
        return RegIoFailed;
    }
    Tree tree;
    if (const Loaded loaded = load(fileName, tree); loaded != Loaded::Ok) {
        return loadError(loaded);
    }
    bool changed = false;
    const long result = change(tree, changed);
    if (result == RegSuccess && changed && !save(fileName, tree)) {
        return RegIoFailed;
    }
    return result;
}

template <typename Look>
long inspect(const QString &fileName, Look look)
{
    Tree tree;
    if (const Loaded loaded = load(fileName, tree); loaded != Loaded::Ok) {
        return loadError(loaded);
    }
    return look(tree);
}

// Runs look on the open key's node, which may have been deleted since it was opened.
template <typename Look>
long inspectNode(const QString &fileName, HKey root, const QStringList &path, Look look)
{
    return inspect(fileName, [&](Tree &tree) {
        Node *node = findPath(tree, root, path);
        return node ? look(*node) : RegKeyDeleted;
    });
}

template <typename Change>
long modifyNode(const QString &fileName, HKey root, const QStringList &path, Change change)
{
    return modify(fileName, [&](Tree &tree, bool &changed) {
        Node *node = findPath(tree, root, path);
        return node ? change(*node, changed) : RegKeyDeleted;
    });
}

template <typename Item>
uint32_t longestName(const std::vector<Item> &items)
{
    uint32_t longest = 0;
    for (const Item &item : items) {
        longest = std::max(longest, static_cast<uint32_t>(item.name.size()));
    }
    return longest;
}

// The name of item `index` of a key's values or subkeys.
template <typename Item>
long nameAt(const std::vector<Item> &items, uint32_t index, QString &name)
{
    if (index >= items.size()) {
        return RegNoMoreItems;
    }
    name = items[index].name;
    return RegSuccess;
}

template <typename Count>
void put(Count *target, Count value)
{
    if (target) {
        *target = value;
    }
}

QByteArray littleEndian(uint64_t value, int bytes)
{
    QByteArray data(bytes, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i) {
        data[i] = static_cast<char>(value >> (8 * i));
    }
    return data;
}

} // namespace

RegistryStore::RegistryStore(QString fileName) : fileName_(std::move(fileName)) {}

QString RegistryStore::userFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/HXR Toolkit/registry.json");
}

QString RegistryStore::failureCause()
{
    return lastFailure;
}

RegistryStore &RegistryStore::user()
{
    static RegistryStore store(userFileName());
    return store;
}

bool RegistryStore::resolve(HKey key, Handle &handle) const
{
    if (rootNames().count(key)) {
        handle = Handle{key, {}, KeyAllAccess};
        return true;
    }
    std::lock_guard lock(mutex_);
    const auto it = handles_.find(key);
    if (it == handles_.end()) {
        return false;
    }
    handle = it->second;
    return true;
}

long RegistryStore::resolve(HKey key, uint32_t right, Handle &handle) const
{
    if (!resolve(key, handle)) {
        return RegInvalidHandle;
    }
    return (handle.access & right) ? RegSuccess : RegAccessDenied;
}

HKey RegistryStore::newHandle(Handle handle)
{
    std::lock_guard lock(mutex_);
    const HKey key = nextHandle_++;
    handles_[key] = std::move(handle);
    return key;
}

long RegistryStore::openKey(HKey parent, const QString &subKey, uint32_t access, HKey &result)
{
    Handle handle;
    if (!resolve(parent, handle)) {
        return RegInvalidHandle;
    }
    handle.path += splitPath(subKey);
    handle.access = access;
    const long found = inspect(fileName_, [&](Tree &tree) {
        return findPath(tree, handle.root, handle.path) ? RegSuccess : RegFileNotFound;
    });
    if (found == RegSuccess) {
        result = newHandle(std::move(handle));
    }
    return found;
}

long RegistryStore::createKey(HKey parent, const QString &subKey, uint32_t access, HKey &result)
{
    Handle handle;
    if (!resolve(parent, handle)) {
        return RegInvalidHandle;
    }
    const QStringList parts = splitPath(subKey);
    if (!parts.isEmpty() && !(handle.access & KeyCreateSubKey)) {
        return RegAccessDenied;
    }
    const QStringList base = handle.path;
    handle.path += parts;
    handle.access = access;
    const long created = modify(fileName_, [&](Tree &tree, bool &changed) {
        Node *node = findPath(tree, handle.root, base);
        if (!node) {
            return RegKeyDeleted;
        }
        for (const QString &part : parts) {
            Node *next = findKey(*node, part);
            if (!next) {
                next = &addKey(*node, part);
                changed = true;
            }
            node = next;
        }
        return RegSuccess;
    });
    if (created == RegSuccess) {
        result = newHandle(std::move(handle));
    }
    return created;
}

long RegistryStore::closeKey(HKey key)
{
    if (rootNames().count(key)) {
        return RegSuccess;
    }
    std::lock_guard lock(mutex_);
    return handles_.erase(key) ? RegSuccess : RegInvalidHandle;
}

long RegistryStore::deleteKey(HKey parent, const QString &subKey)
{
    Handle handle;
    if (!resolve(parent, handle)) {
        return RegInvalidHandle;
    }
    const QStringList parts = splitPath(subKey);
    if (parts.isEmpty()) {
        return RegInvalidParameter;
    }
    QStringList path = handle.path + parts;
    const QString name = path.takeLast();
    return modify(fileName_, [&](Tree &tree, bool &changed) {
        Node *owner = findPath(tree, handle.root, path);
        Node *key = owner ? findKey(*owner, name) : nullptr;
        if (!key) {
            return RegFileNotFound;
        }
        if (!key->keys.empty()) {
            return RegAccessDenied;
        }
        owner->keys.erase(owner->keys.begin() + (key - owner->keys.data()));
        changed = true;
        return RegSuccess;
    });
}

long RegistryStore::setValue(HKey key, const QString &name, uint32_t type, const QByteArray &data)
{
    Handle handle;
    if (const long opened = resolve(key, KeySetValue, handle); opened != RegSuccess) {
        return opened;
    }
    return modifyNode(fileName_, handle.root, handle.path, [&](Node &node, bool &changed) {
        if (Value *value = findValue(node, name)) {
            value->type = type;
            value->data = data;
        } else {
            node.values.push_back({name, type, data});
        }
        changed = true;
        return RegSuccess;
    });
}

long RegistryStore::queryValue(HKey key, const QString &name, uint32_t *type, QByteArray *data)
{
    Handle handle;
    if (const long opened = resolve(key, KeyQueryValue, handle); opened != RegSuccess) {
        return opened;
    }
    return inspectNode(fileName_, handle.root, handle.path, [&](Node &node) {
        const Value *value = findValue(node, name);
        if (!value) {
            return RegFileNotFound;
        }
        put(type, value->type);
        put(data, value->data);
        return RegSuccess;
    });
}

long RegistryStore::deleteValue(HKey key, const QString &name)
{
    Handle handle;
    if (const long opened = resolve(key, KeySetValue, handle); opened != RegSuccess) {
        return opened;
    }
    return modifyNode(fileName_, handle.root, handle.path, [&](Node &node, bool &changed) {
        const Value *value = findValue(node, name);
        if (!value) {
            return RegFileNotFound;
        }
        node.values.erase(node.values.begin() + (value - node.values.data()));
        changed = true;
        return RegSuccess;
    });
}

long RegistryStore::enumValue(HKey key, uint32_t index, QString &name)
{
    Handle handle;
    if (const long opened = resolve(key, KeyQueryValue, handle); opened != RegSuccess) {
        return opened;
    }
    return inspectNode(fileName_, handle.root, handle.path,
                       [&](Node &node) { return nameAt(node.values, index, name); });
}

long RegistryStore::enumKey(HKey key, uint32_t index, QString &name)
{
    Handle handle;
    if (const long opened = resolve(key, KeyEnumerateSubKeys, handle); opened != RegSuccess) {
        return opened;
    }
    return inspectNode(fileName_, handle.root, handle.path,
                       [&](Node &node) { return nameAt(node.keys, index, name); });
}

long RegistryStore::queryInfoKey(HKey key, uint32_t *subKeys, uint32_t *maxSubKeyLength,
                                 uint32_t *values, uint32_t *maxValueNameLength)
{
    Handle handle;
    if (const long opened = resolve(key, KeyQueryValue, handle); opened != RegSuccess) {
        return opened;
    }
    return inspectNode(fileName_, handle.root, handle.path, [&](Node &node) {
        put(subKeys, static_cast<uint32_t>(node.keys.size()));
        put(maxSubKeyLength, longestName(node.keys));
        put(values, static_cast<uint32_t>(node.values.size()));
        put(maxValueNameLength, longestName(node.values));
        return RegSuccess;
    });
}

QByteArray RegistryStore::textData(const QString &text)
{
    QByteArray data = text.toUtf8();
    data.append('\0');
    return data;
}

QByteArray RegistryStore::multiTextData(const QStringList &texts)
{
    QByteArray data;
    for (const QString &text : texts) {
        data += textData(text);
    }
    data.append('\0');
    return data;
}

QByteArray RegistryStore::dwordData(uint32_t value)
{
    return littleEndian(value, 4);
}

QByteArray RegistryStore::qwordData(uint64_t value)
{
    return littleEndian(value, 8);
}

} // namespace platform::win
