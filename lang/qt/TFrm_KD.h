#pragma once
#include "lang/qt/FormTranslation.h"

#include <QWidget>

namespace kd {

// The base form of the program's windows (Base: QMainWindow or QDialog): each show
// translates the window from the language file of the current language.
template <class Base> class TFrm_KD : public Base {
public:
    explicit TFrm_KD(QWidget* parent = nullptr, Qt::WindowFlags flags = {})
        : Base(parent, flags), translation_(new FormTranslation(*this)) {}

    TKDTranslator& KD_TL() { return translation_->KD_TL(); }
    FormTranslation& formTranslation() { return *translation_; }

private:
    FormTranslation* translation_; // a child of the window
};

} // namespace kd
