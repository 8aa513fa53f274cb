#pragma once
#include "widgets/storage/RegistryPlacementStore.h"
#include "widgets/storage/TWinMinMaxInfo.h"

#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

namespace kd {

class RegistryStore;
class TKitWindowHook;

// Keeps its window's position, size and state (and, when asked, the focused control)
// in one section of an INI file or of our registry store, across runs: restored when
// the window first shows, saved when the window is allowed to close and when it goes
// (the window calls FormDestroy first thing in its destructor). A section is restored
// only when its "FormVersion" is at least Version; a save happens only after a
// restore of this run.
class TFormPlacement : public QObject {
    Q_OBJECT
public:
    enum TPlacementOption { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
    Q_DECLARE_FLAGS(TPlacementOptions, TPlacementOption)
    Q_FLAG(TPlacementOptions)
    Q_PROPERTY(TPlacementOptions Options READ Options WRITE setOptions)
    Q_PROPERTY(int Version MEMBER Version)
    Q_PROPERTY(bool UseRegistry MEMBER UseRegistry)

    using TNotifyEvent = std::function<void(TFormPlacement& sender)>;
    using ErrorHandler = std::function<void(const std::string& message)>;

    // form: the window whose placement is kept; it also owns the component.
    explicit TFormPlacement(QWidget* form);
    ~TFormPlacement() override;

    // Written directly by the window: on as the last step of its creation, off when
    // it goes.
    bool Active = true;
    bool UseRegistry = false;
    TPlacementRegRoot RegistryRoot = TPlacementRegRoot::prCurrentUser;
    int Version = 0;
    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;
    // What the show, close and destroy handlers do with an error (by default: a
    // warning on standard error); the window goes on either way.
    ErrorHandler OnError;

    TPlacementOptions Options() const { return options_; }
    void setOptions(TPlacementOptions options) { options_ = options; }
    // Empty: "Software\" + the program's name (registry), or the program's name with
    // ".INI" beside it.
    std::string IniFileName() const;
    void setIniFileName(std::string name) { iniFileName_ = std::move(name); }
    // Empty: the window's class name.
    std::string IniSection() const;
    void setIniSection(std::string section) { iniSection_ = std::move(section); }
    // The registry store to use (default: the user's store named after the program).
    void setRegistryStore(RegistryStore* store) { registry_ = store; }

    // Whether the window is seen on a display; by default unless Qt draws off screen
    // (no display). Off screen its place and size are nobody's choice: nothing of its
    // placement is saved, and the placement stored stays for the next start on a
    // display.
    void setOnDisplay(std::function<bool()> check) { onDisplay_ = std::move(check); }

    // Limits of the window's size while set (tracking sizes; the maximised size and
    // position have no counterpart here).
    TWinMinMaxInfo& MinMaxInfo() { return minMaxInfo_; }
    void setMinMaxInfo(const TWinMinMaxInfo& info) { minMaxInfo_.Assign(info); }
    bool PreventResize() const { return preventResize_; }
    // On: the shown window keeps its size and loses its maximise button; off: both
    // come back.
    void setPreventResize(bool value);

    bool Saved() const { return saved_; }
    bool Restored() const { return restored_; }
    // The last restore put a stored position and size on the window.
    bool PlacementApplied() const { return placementApplied_; }
    QWidget* form() const { return form_; }

    void SaveFormPlacement();
    void RestoreFormPlacement();

    virtual std::string ReadString(const std::string& section, const std::string& name,
                                   const std::string& def);
    virtual void WriteString(const std::string& section, const std::string& name,
                             const std::string& value);
    std::string ReadPlacementString(const std::string& name, const std::string& def);
    void WritePlacementString(const std::string& name, const std::string& value);
    int ReadPlacementInteger(const std::string& name, int def);
    void WritePlacementInteger(const std::string& name, int value);

    // The window's handlers: restore on the first show, save on an allowed close and
    // when the window goes.
    void FormShow();
    void FormCloseQuery(bool canClose);
    void FormDestroy();

protected:
    virtual void SavePlacement();
    virtual void RestorePlacement();
    // The store open during a save or restore (none between them).
    PlacementStore* store() const { return store_.get(); }
    void setRestored() { restored_ = true; }

private:
    // Opens the store for the life of the object when none is open yet.
    class StoreScope {
    public:
        explicit StoreScope(TFormPlacement& owner);
        ~StoreScope();
        // Closes the store this scope opened, making its writes lasting; throws when
        // that fails.
        void commit();
        StoreScope(const StoreScope&) = delete;
        StoreScope& operator=(const StoreScope&) = delete;

    private:
        TFormPlacement& owner_;
        bool opened_ = false;
    };

    // The size hook is on while the window's size is limited.
    void toggleSizeHook();
    void applySizeLimits();
    void openStore();
    void closeStore();
    template <class F> void guarded(F&& action);

    QPointer<QWidget> form_;
    TPlacementOptions options_{fpState | fpPosition};
    std::string iniFileName_;
    std::string iniSection_;
    RegistryStore* registry_ = nullptr;
    std::unique_ptr<RegistryStore> ownRegistry_;
    std::function<bool()> onDisplay_;
    std::unique_ptr<PlacementStore> store_;
    std::unique_ptr<TKitWindowHook> formHook_;
    std::unique_ptr<TKitWindowHook> WinHook;
    TWinMinMaxInfo minMaxInfo_;
    bool preventResize_ = false;
    bool defMaximize_ = false;
    // The window's own limits, given back when the hook goes off.
    QSize ownMinimum_, ownMaximum_;
    bool saved_ = false;
    bool restored_ = false;
    bool placementApplied_ = false;
    bool destroying_ = false;
    bool shown_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFormPlacement::TPlacementOptions)

// "Software\" + the executable's name without its extension.
std::string DefaultRegistryKey();
// The executable's name with its extension replaced by ".INI".
std::string DefaultIniFileName();
// A window: its class name; a control: its window's class name and its own name; any
// other object with a window as parent: "class.name"; else its name.
std::string DefaultSection(const QObject* component);

} // namespace kd
