#include "widgets/storage/TPropsStorage.h"
#include "widgets/storage/TFormStorage.h"
#include "widgets/support/WidgetsApplication.h"

#include "platform/Exception.h"
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

#include <map>

using namespace kd;

namespace {

// An object with one property of each kind the storage keeps as text.
class Sample : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count MEMBER Count)
    Q_PROPERTY(qint64 Big MEMBER Big)
    Q_PROPERTY(bool Enabled MEMBER Enabled)
    Q_PROPERTY(Mode Kind MEMBER Kind)
    Q_PROPERTY(Parts Shown READ shown WRITE setShown)
    Q_PROPERTY(double Ratio MEMBER Ratio)
    Q_PROPERTY(float Small MEMBER Small)
    Q_PROPERTY(QChar Letter MEMBER Letter)
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(QStringList Lines MEMBER Lines)
    Q_PROPERTY(QWidget* Buddy MEMBER Buddy)
    Q_PROPERTY(QObject* Own MEMBER Own)
    Q_PROPERTY(QRect Area MEMBER Area)
public:
    enum Mode { mdNone, mdFast, mdSafe };
    Q_ENUM(Mode)
    enum Part { ptHead = 1, ptBody = 2, ptFoot = 4 };
    Q_DECLARE_FLAGS(Parts, Part)
    Q_FLAG(Parts)

    int Count = 0;
    qint64 Big = 0;
    bool Enabled = false;
    Mode Kind = mdNone;
    Parts Shown;
    Parts shown() const { return Shown; }
    void setShown(Parts parts) { Shown = parts; }
    double Ratio = 0;
    float Small = 0;
    QChar Letter;
    QString Caption;
    QStringList Lines;
    QWidget* Buddy = nullptr;
    QObject* Own = nullptr;
    QRect Area;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Sample::Parts)

// An owned object whose properties are kept nested under the owner's property name.
class Inner : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Size MEMBER Size)
public:
    using QObject::QObject;
    int Size = 0;
};

struct MemoryStore {
    std::map<std::string, std::string> values; // "section|name" -> text

    void bind(TPropsStorage& storage) {
        storage.OnReadString = [this](const std::string& s, const std::string& n,
                                      const std::string& def) {
            const auto it = values.find(s + "|" + n);
            return it == values.end() ? def : it->second;
        };
        storage.OnWriteString = [this](const std::string& s, const std::string& n,
                                       const std::string& v) { values[s + "|" + n] = v; };
        storage.OnEraseSection = [this](const std::string& s) {
            std::erase_if(values, [&](const auto& kv) { return kv.first.starts_with(s + "|"); });
        };
    }
};

class PropsStorageTest : public ::testing::Test, protected test::WithWidgetsApplication {
protected:
    PropsStorageTest() {
        window.setObjectName("Okno");
        buddy = new QLineEdit(&window);
        buddy->setObjectName("Edit1");
    }

    TPropsStorage storageFor(QObject& object) {
        TPropsStorage storage(&object, &window);
        storage.Prefix = "S_";
        storage.Section = "Sec";
        store.bind(storage);
        return storage;
    }

    QWidget window;
    QLineEdit* buddy;
    MemoryStore store;
};

} // namespace

TEST_F(PropsStorageTest, EveryKindRoundTripsThroughItsText) {
    Sample saved;
    saved.Count = -42;
    saved.Big = 1234567890123LL;
    saved.Enabled = true;
    saved.Kind = Sample::mdSafe;
    saved.Shown = Sample::ptHead | Sample::ptFoot;
    saved.Ratio = 0.1;
    saved.Small = 2.5f;
    saved.Letter = QChar(u'\u010d');
    saved.Caption = QString::fromUtf8("Záloha \"C\"");
    saved.Lines = {"jeden", "", "tři"};
    saved.Buddy = buddy;
    auto* inner = new Inner(&saved);
    inner->Size = 7;
    saved.Own = inner;
    saved.Area = QRect(1, 2, 3, 4);
    storageFor(saved).StoreProperties();

    EXPECT_EQ(store.values["Sec|S_Count"], "-42");
    EXPECT_EQ(store.values["Sec|S_Enabled"], "True");
    EXPECT_EQ(store.values["Sec|S_Kind"], "mdSafe");
    EXPECT_EQ(store.values["Sec|S_Shown"], "[ptHead,ptFoot]");
    EXPECT_EQ(store.values["Sec|S_Ratio"], "0.1");
    EXPECT_EQ(store.values["Sec|S_Buddy"], "Edit1");
    EXPECT_EQ(store.values["Sec.S_Lines|Count"], "3");
    EXPECT_EQ(store.values["Sec.S_Lines|Item2"], "tři");
    EXPECT_EQ(store.values["Sec|S_OwnSize"], "7"); // nested, no "_" added
    EXPECT_FALSE(store.values.contains("Sec|S_Area"));

    Sample loaded;
    auto* loadedInner = new Inner(&loaded);
    loaded.Own = loadedInner;
    storageFor(loaded).LoadProperties();
    EXPECT_EQ(loaded.Count, -42);
    EXPECT_EQ(loaded.Big, 1234567890123LL);
    EXPECT_TRUE(loaded.Enabled);
    EXPECT_EQ(loaded.Kind, Sample::mdSafe);
    EXPECT_EQ(loaded.Shown, saved.Shown);
    EXPECT_DOUBLE_EQ(loaded.Ratio, 0.1);
    EXPECT_FLOAT_EQ(loaded.Small, 2.5f);
    EXPECT_EQ(loaded.Letter, saved.Letter);
    EXPECT_EQ(loaded.Caption, saved.Caption);
    EXPECT_EQ(loaded.Lines, saved.Lines);
    EXPECT_EQ(loaded.Buddy, buddy);
    EXPECT_EQ(loadedInner->Size, 7);
}

TEST_F(PropsStorageTest, SetsReadWithOrWithoutBracketsAndIgnoreStrangeWords) {
    TFormPlacement placement(&window);
    TPropsStorage storage = storageFor(placement);
    const auto options = *TPropsStorage::findProperty(placement, "options");
    storage.StoreAnyProperty(options);
    EXPECT_EQ(store.values["Sec|S_Options"], "[fpState,fpPosition]");

    store.values["Sec|S_Options"] = "fpPosition";
    storage.LoadAnyProperty(options);
    EXPECT_EQ(placement.Options(), TFormPlacement::fpPosition);
    store.values["Sec|S_Options"] = "[ fpActiveControl, nothing,fpState]";
    storage.LoadAnyProperty(options);
    EXPECT_EQ(placement.Options(), TFormPlacement::fpActiveControl | TFormPlacement::fpState);
}

TEST_F(PropsStorageTest, DamagedTextsKeepTheValueThereIs) {
    Sample sample;
    sample.Count = 5;
    sample.Kind = Sample::mdFast;
    sample.Ratio = 1.5;
    sample.Enabled = true;
    sample.Lines = {"a"};
    sample.Buddy = buddy;
    store.values = {{"Sec|S_Count", "5x"},
                    {"Sec|S_Kind", "mdUnknown"},
                    {"Sec|S_Ratio", "1,5"},
                    {"Sec|S_Enabled", "maybe"},
                    {"Sec.S_Lines|Count", "99999999"},
                    {"Sec.S_Lines|Item0", "b"},
                    {"Sec|S_Buddy", "Nikdo.Edit1"}};
    storageFor(sample).LoadProperties();
    EXPECT_EQ(sample.Count, 5);
    EXPECT_EQ(sample.Kind, Sample::mdFast);
    EXPECT_DOUBLE_EQ(sample.Ratio, 1.5);
    EXPECT_TRUE(sample.Enabled);
    EXPECT_EQ(sample.Lines, QStringList{"a"}); // items the count names are missing
    EXPECT_EQ(sample.Buddy, buddy);            // no window of that name

    store.values["Sec|S_Buddy"] = "(NULL)";
    storageFor(sample).LoadProperties();
    EXPECT_EQ(sample.Buddy, nullptr);
}

TEST_F(PropsStorageTest, StoredPropsFollowRenamedObjectsAndDropRemovedOnes) {
    TFormStorage storage(&window);
    auto* other = new QLineEdit(&window);
    other->setObjectName("Edit3");
    storage.setStoredProps(
        {"Edit1.Text", " Edit3 . text ", "Missing.Text", "NoProperty", "Edit1."});
    EXPECT_EQ(storage.StoredProps(), (std::vector<std::string>{"Edit1.Text", "Edit3.text"}));

    buddy->setObjectName("Edit2");
    delete other;
    EXPECT_EQ(storage.StoredProps(), std::vector<std::string>{"Edit2.Text"});
}

TEST_F(PropsStorageTest, StoredValuesHaveUniqueNames) {
    TFormStorage storage(&window);
    TStoredValue& first = storage.StoredValues().Add();
    first.setName("Heslo");
    TStoredValue& second = storage.StoredValues().Add();
    EXPECT_THROW(second.setName("HESLO"), Exception);
    EXPECT_EQ(second.Name(), "");
    first.setName("HESLO"); // its own name in another case
    EXPECT_EQ(storage.StoredValues().IndexOf("heslo"), 0);
    EXPECT_EQ(storage.StoredValues().IndexOf("jine"), -1);
}

#include "TPropsStorageTest.moc"
