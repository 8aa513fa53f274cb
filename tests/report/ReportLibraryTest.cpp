#include "report/ReportLibrary.h"
#include "report/BarcodeTables.h"
#include "report/DesignerCursors.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace kd;

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_report";
    static char* argv[] = {name, nullptr};
    [[maybe_unused]] static QGuiApplication* application = new QGuiApplication(argc, argv);
}

// The width code of a digit pattern written as modules (1 bar, 0 space): runs of
// spaces of 1 to 4 modules are "0" to "3", runs of bars "5" to "8".
std::string widthCode(const std::string& modules) {
    std::string code;
    for (std::size_t i = 0; i < modules.size();) {
        std::size_t end = i;
        while (end < modules.size() && modules[end] == modules[i])
            ++end;
        const auto run = static_cast<char>(end - i);
        code += static_cast<char>((modules[i] == '1' ? '5' : '0') + run - 1);
        i = end;
    }
    return code;
}

} // namespace

TEST(BarcodeTablesTest, DigitPatternsAreThoseOfThePublishedStandard) {
    // The left-hand odd (A) set as the standard prints it; the right-hand set (C) is
    // its complement and the left-hand even set (B) the right-hand set reversed.
    const char* setA[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                            "0110001", "0101111", "0111011", "0110111", "0001011"};
    for (int digit = 0; digit < 10; ++digit) {
        const std::string a = setA[digit];
        std::string c;
        for (const char m : a)
            c += m == '1' ? '0' : '1';
        const std::string b(c.rbegin(), c.rend());
        EXPECT_EQ(EanLeftOdd[digit], widthCode(a)) << digit;
        EXPECT_EQ(EanRight[digit], widthCode(c)) << digit;
        EXPECT_EQ(EanLeftEven[digit], widthCode(b)) << digit;
    }
    EXPECT_EQ(EanLeftOdd[0], "2605");
}

TEST(BarcodeTablesTest, SymbologiesInTheDesignersOrder) {
    EXPECT_EQ(BarcodeTypes.front().name, "2/5 interleaved");
    EXPECT_EQ(BarcodeTypes[7].name, "Code 128C");
    EXPECT_TRUE(BarcodeTypes[7].digitsOnly);
    EXPECT_FALSE(BarcodeTypes[12].digitsOnly); // Codebar
    EXPECT_EQ(BarcodeTypes.back().name, "UPC Supp5");
    int digitsOnly = 0;
    for (const TBarcodeType& type : BarcodeTypes)
        digitsOnly += type.digitsOnly;
    EXPECT_EQ(digitsOnly, 13);
}

TEST(ReportLibraryTest, TablesStandWhileALibraryLivesAndGoWithTheLast) {
    ensureApplication();
    EXPECT_FALSE(ReportLibrary::started());
    {
        const ReportLibrary first;
        {
            const ReportLibrary second; // a second start-up does the work once only
        }
        ASSERT_TRUE(ReportLibrary::started());
        const auto& fonts = ReportLibrary::fontList();
        const QStringList families = QFontDatabase::families();
        ASSERT_EQ(fonts.size(), static_cast<std::size_t>(families.size()) + 3);
        EXPECT_EQ(std::vector<std::string>(fonts.end() - 3, fonts.end()),
                  (std::vector<std::string>{"Roman 10cpi", "Roman 12cpi", "Roman 17cpi"}));

        const TPageDefaults& page = ReportLibrary::pageDefaults();
        EXPECT_EQ(page.width, 826);
        EXPECT_EQ(page.height, 1169);
        EXPECT_EQ(page.margins, (std::array<std::int32_t, 4>{50, 50, 70, 70}));
        EXPECT_EQ(page.scales[1], 1.0f);
        const TDrawingDefaults& drawing = ReportLibrary::drawingDefaults();
        EXPECT_EQ(drawing.number, 14);
        float two = 0;
        static_assert(sizeof two == sizeof drawing.value);
        std::memcpy(&two, &drawing.value, sizeof two);
        EXPECT_EQ(two, 2.0f);

        // 21 cursors, each of its own look.
        std::set<std::size_t> looks;
        for (int i = 1; i <= 21; ++i) {
            const QCursor cursor = ReportLibrary::cursor(i);
            ASSERT_EQ(cursor.shape(), Qt::BitmapCursor) << i;
            const QImage image = cursor.pixmap().toImage();
            looks.insert(qHash(
                QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes())));
        }
        EXPECT_EQ(looks.size(), 21u);
        EXPECT_EQ(ReportLibrary::cursor(22).shape(), Qt::ArrowCursor);
        EXPECT_EQ(DesignerCursorNames[20], "CURSOR_DET");
    }
    EXPECT_FALSE(ReportLibrary::started());
    EXPECT_TRUE(ReportLibrary::fontList().empty());
    EXPECT_EQ(ReportLibrary::cursor(1).shape(), Qt::ArrowCursor);
}
