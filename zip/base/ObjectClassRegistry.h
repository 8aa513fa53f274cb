#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <typeinfo>

#include "platform/Exception.h"
#include "platform/Stream.h"

namespace kd {

// A class name read from a stream, or an object to be written, that the registry
// does not know.
class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};

// The longest class name a stream carries.
inline constexpr std::size_t MaxClassNameLength = 63;

// The unqualified name of a class ("TZipHeaderInfo", not "kd::TZipHeaderInfo").
std::string ClassNameOf(const std::type_info& type);

// One registered class: how to make an instance, read it from a stream and write it.
// Objects pass as pointers to the item type of the lists they live in (ListType),
// the procedures turning them into the registered class itself.
struct tRegisterRec {
    std::type_index ObjectType;
    std::type_index ListType;
    std::function<std::shared_ptr<void>()> Create;
    std::function<void(void* object, Stream&)> Load;
    std::function<void(const void* object, Stream&)> Store;
};

// The module-wide sorted list of class names (case-insensitive, duplicates ignored)
// through which object lists write their objects to streams and read them back.
// It exists from start-up (ObjectClassRegistryLifetime) to the end; nothing is registered
// by the program itself, so a list that holds objects cannot be streamed until a
// caller registers their class.
class ObjectClassRegistry {
public:
    // Registers class U, living in lists of ListItem (U itself or a base of it). A
    // name already present keeps its first entry.
    template <class U, class ListItem = U>
    static void Register(std::function<void(U&, Stream&)> load,
                         std::function<void(const U&, Stream&)> store) {
        Add(ClassNameOf(typeid(U)),
            tRegisterRec{typeid(U), typeid(ListItem),
                         [] {
                             return std::static_pointer_cast<void>(
                                 std::shared_ptr<ListItem>(std::make_shared<U>()));
                         },
                         [load = std::move(load)](void* object, Stream& stream) {
                             load(*static_cast<U*>(static_cast<ListItem*>(object)), stream);
                         },
                         [store = std::move(store)](const void* object, Stream& stream) {
                             store(*static_cast<const U*>(static_cast<const ListItem*>(object)),
                                   stream);
                         }});
    }

    // Reads a length byte and a class name, makes an instance of that class and lets
    // its load procedure read it. EClassNotFound "Class <name> not registered" for an
    // unknown name.
    template <class T> static std::shared_ptr<T> ReadObject(Stream& stream) {
        const std::string name = ReadClassName(stream);
        const tRegisterRec record =
            RecordFor(name, typeid(T), "Class <" + name + "> not registered");
        std::shared_ptr<void> object = record.Create();
        record.Load(object.get(), stream);
        return std::static_pointer_cast<T>(object);
    }

    // Writes the object's class name and lets its store procedure write the object.
    // EClassNotFound "Nil Source Class!" for no object, "Source Class <name> not
    // registered" for an unknown class.
    template <class T> static void WriteObject(const T* object, Stream& stream) {
        if (!object)
            throw EClassNotFound("Nil Source Class!");
        const std::string name = ClassNameOf(typeid(*object)).substr(0, MaxClassNameLength);
        const tRegisterRec record =
            RecordFor(name, typeid(T), "Source Class <" + name + "> not registered");
        WriteClassName(name, stream);
        record.Store(object, stream);
    }

    static bool Exists();

private:
    friend class ObjectClassRegistryLifetime;
    static void Create();
    static void Free();
    static void Add(const std::string& name, tRegisterRec record);
    // The entry of name for an object in a list of listType; EClassNotFound with
    // whenMissing when the name is unknown.
    static tRegisterRec RecordFor(const std::string& name, const std::type_info& listType,
                                  const std::string& whenMissing);
    static std::string ReadClassName(Stream& stream);
    static void WriteClassName(const std::string& name, Stream& stream);
};

// Creates the registry empty and frees it with its entries when it goes: held by the
// program's start-up for the life of the process.
class ObjectClassRegistryLifetime {
public:
    ObjectClassRegistryLifetime() { ObjectClassRegistry::Create(); }
    ~ObjectClassRegistryLifetime() { ObjectClassRegistry::Free(); }
    ObjectClassRegistryLifetime(const ObjectClassRegistryLifetime&) = delete;
    ObjectClassRegistryLifetime& operator=(const ObjectClassRegistryLifetime&) = delete;
};

} // namespace kd
