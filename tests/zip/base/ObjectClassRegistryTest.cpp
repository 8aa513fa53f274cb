#include "zip/base/ObjectClassRegistry.h"
#include "platform/MemoryStream.h"
#include "zip/base/TSortedObjectList.h"

#include <gtest/gtest.h>

#include <map>

using namespace kd;

namespace {

struct Word {
    std::string text;
};

class SortedWords : public TSortedObjectList<Word> {
public:
    using TSortedObjectList::TSortedObjectList;

protected:
    int Compare(const Word& a, const Word& b) const override { return a.text.compare(b.text); }
};

std::shared_ptr<Word> word(std::string text) {
    return std::make_shared<Word>(Word{std::move(text)});
}

void registerWord() {
    ObjectClassRegistry::Register<Word>(
        [](Word& w, Stream& s) {
            std::uint8_t n = 0;
            s.ReadBuffer(&n, 1);
            w.text.resize(n);
            s.ReadBuffer(w.text.data(), n);
        },
        [](const Word& w, Stream& s) {
            const auto n = static_cast<std::uint8_t>(w.text.size());
            s.WriteBuffer(&n, 1);
            s.WriteBuffer(w.text.data(), n);
        });
}

template <class F> std::string classErrorOf(F&& f) {
    try {
        f();
    } catch (const EClassNotFound& e) {
        return e.what();
    }
    return "no error";
}

// Collects the binary properties an object defines, as a form writer would.
struct RecordingFiler : TFiler {
    std::map<std::string, bool> hasData;
    void DefineBinaryProperty(const std::string& name, const std::function<void(Stream&)>&,
                              const std::function<void(Stream&)>&, bool data) override {
        hasData[name] = data;
    }
};

} // namespace

TEST(ObjectClassRegistry, ListsOfUnregisteredObjectsAreRefusedByName) {
    const ObjectClassRegistryLifetime registry;
    TObjectList<Word> list;
    list.Add(word("a"));
    MemoryStream out;
    EXPECT_EQ(classErrorOf([&] { list.SaveToStream(out); }), "Source Class <Word> not registered");
    list.Put(0, nullptr);
    EXPECT_EQ(classErrorOf([&] { list.SaveToStream(out); }), "Nil Source Class!");

    // owns 1, count 1, then the class name "Word"
    MemoryStream in(std::string("\x01\x01\x00\x00\x00\x04Word", 10));
    TObjectList<Word> read;
    EXPECT_EQ(classErrorOf([&] { read.LoadFromStream(in); }), "Class <Word> not registered");
}

TEST(ObjectClassRegistry, ASortedListComesBackWithItsModeAndOrder) {
    const ObjectClassRegistryLifetime registry;
    registerWord();
    registerWord(); // a second registration of one name changes nothing
    SortedWords list(TDuplicates::Accept);
    for (const char* text : {"pear", "apple", "fig", "apple"})
        list.Add(word(text));
    MemoryStream stream;
    list.SaveToStream(stream);
    EXPECT_EQ(stream.Bytes().substr(0, 6), std::string("\x01\x01\x04\x00\x00\x00", 6));
    EXPECT_EQ(stream.Bytes().substr(6, 5), "\x04Word");

    stream.Seek(0, SeekOrigin::Begin);
    SortedWords read(TDuplicates::Error);
    read.LoadFromStream(stream);
    EXPECT_EQ(read.Duplicates(), TDuplicates::Accept);
    ASSERT_EQ(read.Count(), 4);
    EXPECT_EQ(read[0]->text, "apple");
    EXPECT_EQ(read[1]->text, "apple");
    EXPECT_EQ(read[3]->text, "pear");
}

TEST(ObjectClassRegistry, ADamagedStreamIsAnErrorNotAnAllocation) {
    const ObjectClassRegistryLifetime registry;
    registerWord();
    // owns 1, a count of 268 million, and no objects
    MemoryStream huge(std::string("\x01\x00\x00\x00\x10", 5));
    TObjectList<Word> list;
    EXPECT_THROW(list.LoadFromStream(huge), EReadError);
    // a count beyond any list
    MemoryStream beyond(std::string("\x01\x00\x00\x00\x78", 5));
    EXPECT_THROW(list.LoadFromStream(beyond), EListError);
    EXPECT_EQ(list.Capacity(), 0);
    // a name cut short
    MemoryStream cut(std::string("\x01\x01\x00\x00\x00\x04Wo", 8));
    EXPECT_THROW(list.LoadFromStream(cut), EReadError);
}

TEST(ObjectClassRegistry, LivesFromStartUpToTheEndAndForgetsItsEntries) {
    EXPECT_FALSE(ObjectClassRegistry::Exists());
    {
        const ObjectClassRegistryLifetime registry;
        EXPECT_TRUE(ObjectClassRegistry::Exists());
        registerWord();
    }
    EXPECT_FALSE(ObjectClassRegistry::Exists());
    EXPECT_THROW(registerWord(), Exception);
    const ObjectClassRegistryLifetime registry;
    TObjectList<Word> list;
    list.Add(word("a"));
    MemoryStream out;
    EXPECT_EQ(classErrorOf([&] { list.SaveToStream(out); }), "Source Class <Word> not registered");
}

TEST(ObjectClassRegistry, TheContainerPropertyIsWrittenOnlyWithItems) {
    RecordingFiler filer;
    TObjectList<Word> list;
    list.DefineProperties(filer);
    EXPECT_FALSE(filer.hasData.at("ObjectContainer"));
    list.Add(word("a"));
    list.DefineProperties(filer);
    EXPECT_TRUE(filer.hasData.at("ObjectContainer"));
}
