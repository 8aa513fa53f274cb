#include "widgets/storage/TFormPlacement.h"

#include "platform/Paths.h"
#include "platform/RegistryStore.h"
#include "platform/qt/QtUiHost.h"
#include "widgets/hooks/TKitWindowHook.h"
#include "widgets/storage/PlacementStoreFactory.h"
#include "widgets/storage/PlacementValues.h"

#include <QCloseEvent>
#include <QEvent>
#include <exception>

namespace kd {
namespace {

std::string withoutExtension(std::string name) {
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::string programName() {
    const std::string name = fileNameOf(executablePath());
    return name.empty() ? "kordyne" : name;
}

std::string classNameOf(const QObject& object) {
    std::string name = object.metaObject()->className();
    if (const auto colon = name.rfind(':'); colon != std::string::npos)
        name.erase(0, colon + 1);
    return name;
}

} // namespace

std::string DefaultRegistryKey() {
    return "Software\\" + withoutExtension(programName());
}

std::string DefaultIniFileName() {
    return withoutExtension(programName()) + ".INI";
}

std::string DefaultSection(const QObject* component) {
    if (!component)
        return "";
    const std::string name = component->objectName().toStdString();
    if (const auto* widget = qobject_cast<const QWidget*>(component)) {
        if (widget->isWindow())
            return classNameOf(*widget);
        if (widget->window() != widget)
            return classNameOf(*widget->window()) + name;
    }
    if (const auto* owner = qobject_cast<const QWidget*>(component->parent());
        owner && owner->isWindow())
        return classNameOf(*owner) + "." + name;
    return name;
}

TFormPlacement::TFormPlacement(QWidget* form)
    : QObject(form), form_(form), formHook_(std::make_unique<TKitWindowHook>()),
      WinHook(std::make_unique<TKitWindowHook>()), minMaxInfo_([this] {
          toggleSizeHook();
          applySizeLimits();
      }) {
    if (!form_)
        options_ = {};
    else
        defMaximize_ = form_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
    WinHook->setActive(false);
    WinHook->BeforeMessage = [this](TKitWindowHook&, THookMessage& message, bool&) {
        if (message.event->type() == QEvent::Show || message.event->type() == QEvent::Resize)
            applySizeLimits();
    };
    // The window's show and close reach the component before and after the window's
    // own handling.
    formHook_->BeforeMessage = [this](TKitWindowHook&, THookMessage& message, bool&) {
        if (message.event->type() == QEvent::Show)
            FormShow();
    };
    formHook_->AfterMessage = [this](TKitWindowHook&, THookMessage& message, bool&) {
        if (message.event->type() == QEvent::Close)
            FormCloseQuery(message.event->isAccepted());
    };
    formHook_->AfterMessageTypes = {QEvent::Close};
    formHook_->setWinControl(form_);
}

TFormPlacement::~TFormPlacement() {
    store_.reset();
    formHook_.reset();
    WinHook.reset();
}

void TFormPlacement::setPreventResize(bool value) {
    if (!form_ || value == preventResize_)
        return;
    preventResize_ = value;
    if (value)
        defMaximize_ = form_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
    const bool maximize = !value && defMaximize_;
    if (form_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint) != maximize) {
        // New window flags hide a shown window: it is shown again.
        const bool visible = form_->isVisible();
        const bool active = Active;
        Active = false;
        form_->setWindowFlag(Qt::WindowMaximizeButtonHint, maximize);
        if (visible)
            form_->show();
        Active = active;
    }
    toggleSizeHook();
    applySizeLimits();
}

void TFormPlacement::toggleSizeHook() {
    const bool on = form_ && (preventResize_ || !minMaxInfo_.empty());
    if (on == WinHook->Active())
        return;
    if (on) {
        ownMinimum_ = form_->minimumSize();
        ownMaximum_ = form_->maximumSize();
        WinHook->setWinControl(form_);
        WinHook->setActive(true);
    } else {
        WinHook->setActive(false);
        if (form_) {
            form_->setMinimumSize(ownMinimum_);
            form_->setMaximumSize(ownMaximum_);
        }
    }
}

void TFormPlacement::applySizeLimits() {
    if (!form_ || !WinHook->Active())
        return;
    if (preventResize_) {
        if (form_->isVisible())
            form_->setFixedSize(form_->size());
        return;
    }
    using I = TWinMinMaxInfo;
    const auto limit = [this](I::Index index, int own) {
        const int value = minMaxInfo_.value(index);
        return value != 0 ? value : own;
    };
    form_->setMinimumSize(limit(I::MinTrackWidth, ownMinimum_.width()),
                          limit(I::MinTrackHeight, ownMinimum_.height()));
    form_->setMaximumSize(limit(I::MaxTrackWidth, ownMaximum_.width()),
                          limit(I::MaxTrackHeight, ownMaximum_.height()));
}

std::string TFormPlacement::IniFileName() const {
    if (!iniFileName_.empty())
        return iniFileName_;
    return UseRegistry ? DefaultRegistryKey() : DefaultIniFileName();
}

std::string TFormPlacement::IniSection() const {
    return iniSection_.empty() ? DefaultSection(form_) : iniSection_;
}

template <class F> void TFormPlacement::guarded(F&& action) {
    try {
        action();
    } catch (const std::exception& e) {
        if (OnError)
            OnError(e.what());
        else
            qWarning("%s", e.what());
    }
}

void TFormPlacement::FormShow() {
    // Only the first show restores: a window shown again (say from the tray) stays
    // where the user left it.
    if (shown_)
        return;
    shown_ = true;
    if (Active)
        guarded([this] { RestoreFormPlacement(); });
}

void TFormPlacement::FormCloseQuery(bool canClose) {
    if (canClose && Active && form_)
        guarded([this] { SaveFormPlacement(); });
}

void TFormPlacement::FormDestroy() {
    if (Active && !saved_) {
        destroying_ = true;
        guarded([this] { SaveFormPlacement(); });
        destroying_ = false;
    }
}

TFormPlacement::StoreScope::StoreScope(TFormPlacement& owner) : owner_(owner) {
    if (!owner_.store_) {
        owner_.openStore();
        opened_ = true;
    }
}

TFormPlacement::StoreScope::~StoreScope() {
    // Left early by an error: what was not made lasting yet is dropped.
    if (opened_)
        owner_.store_.reset();
}

void TFormPlacement::StoreScope::commit() {
    if (opened_) {
        opened_ = false;
        owner_.closeStore();
    }
}

void TFormPlacement::openStore() {
    if (store_)
        return;
    if (UseRegistry) {
        if (!registry_) {
            if (!ownRegistry_)
                ownRegistry_ = std::make_unique<RegistryStore>(programName());
            registry_ = ownRegistry_.get();
        }
        store_ = std::make_unique<RegistryPlacementStore>(*registry_, IniFileName(), RegistryRoot);
    } else {
        std::string path = IniFileName();
        if (!path.empty() && path.front() != '/')
            path = executableDirectory() + "/" + path;
        store_ = openIniPlacementStore(path);
    }
}

void TFormPlacement::closeStore() {
    const std::unique_ptr<PlacementStore> store = std::move(store_);
    if (store)
        store->close();
}

void TFormPlacement::SaveFormPlacement() {
    if (!restored_ && Active)
        return;
    StoreScope scope(*this);
    store_->writeInteger(IniSection(), "FormVersion", Version);
    SavePlacement();
    if (OnSavePlacement)
        OnSavePlacement(*this);
    scope.commit();
    saved_ = true;
}

void TFormPlacement::RestoreFormPlacement() {
    saved_ = false;
    {
        StoreScope scope(*this);
        if (store_->readInteger(IniSection(), "FormVersion", 0) >= Version) {
            RestorePlacement();
            restored_ = true;
            if (OnRestorePlacement)
                OnRestorePlacement(*this);
            if (options_.testFlag(fpActiveControl) && form_) {
                const std::string name = ReadPlacementString("ActiveControl", "");
                auto* control = name.empty()
                                    ? nullptr
                                    : form_->findChild<QWidget*>(QString::fromStdString(name));
                if (control && control->focusPolicy() != Qt::NoFocus && control->isEnabled())
                    control->setFocus();
            }
        }
        restored_ = true;
    }
}

void TFormPlacement::SavePlacement() {
    if (!form_ || !(onDisplay_ ? onDisplay_() : QtUiHost::interactive()))
        return;
    SavePlacementValues(*form_, *store_, IniSection());
    if (options_.testFlag(fpActiveControl))
        if (const QWidget* focused = form_->focusWidget())
            WritePlacementString("ActiveControl", focused->objectName().toStdString());
    store_->writeBool(IniSection(), "Visible", destroying_);
}

void TFormPlacement::RestorePlacement() {
    if (form_)
        placementApplied_ =
            RestorePlacementValues(*form_, *store_, IniSection(), options_.testFlag(fpPosition),
                                   options_.testFlag(fpState));
}

std::string TFormPlacement::ReadString(const std::string& section, const std::string& name,
                                       const std::string& def) {
    StoreScope scope(*this);
    return store_->readString(section, name, def);
}

void TFormPlacement::WriteString(const std::string& section, const std::string& name,
                                 const std::string& value) {
    StoreScope scope(*this);
    store_->writeString(section, name, value);
    scope.commit();
}

std::string TFormPlacement::ReadPlacementString(const std::string& name, const std::string& def) {
    return ReadString(IniSection(), name, def);
}

void TFormPlacement::WritePlacementString(const std::string& name, const std::string& value) {
    WriteString(IniSection(), name, value);
}

int TFormPlacement::ReadPlacementInteger(const std::string& name, int def) {
    StoreScope scope(*this);
    return store_->readInteger(IniSection(), name, def);
}

void TFormPlacement::WritePlacementInteger(const std::string& name, int value) {
    StoreScope scope(*this);
    store_->writeInteger(IniSection(), name, value);
    scope.commit();
}

} // namespace kd
