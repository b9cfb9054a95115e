#include "about/FR0000AB.h"

#include "support/ModalDriver.h"
#include "support/SheetFixture.h"

#include "platform/Graphics.h"
#include "platform/ModulePath.h"
#include "platform/QtText.h"
#include "ui/AppFiles.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

const QColor White(255, 255, 255);

QImage Resource(const char* path) {
    return QImage(QString::fromLatin1(path)).convertToFormat(QImage::Format_RGB32);
}

QImage Screenshot(QWidget* box) {
    return box->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The main window of the fixture opens its version box; Inspect sees the box while it is up, then
// Answer closes it. A box that Answer leaves open is closed by its close box so that the test never hangs.
class AboutBoxTest : public SheetTest {
protected:
    void TearDown() override {
        SetModuleFileNameOverride(Dir.filePath(QStringLiteral("kalnor")).toStdString());
        SheetTest::TearDown();
    }

    void Open(const std::function<void(TAboutBox* Box)>& Inspect,
              const std::function<void(TAboutBox* Box)>& Answer = PressReturn) {
        bool seen = false;
        AnswerNextModal([&](QWidget* modal) {
            seen = true;
            auto* box = qobject_cast<TAboutBox*>(modal);
            EXPECT_NE(box, nullptr) << "the modal window is no version box";
            if (box) {
                EXPECT_EQ(box, AboutBox);
                Inspect(box);
                Answer(box);
                QCoreApplication::processEvents();
            }
            if (auto* form = qobject_cast<TForm*>(modal); form && form->ModalResult() == mrNone) {
                ADD_FAILURE() << "the box is still open after the answer";
                modal->close();
            }
        });
        Form->ShowAboutBox();
        EXPECT_TRUE(seen);
        EXPECT_FALSE(ModalIsUp());
    }

    static void PressReturn(TAboutBox*) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
};

// ---- caption ----

TEST_F(AboutBoxTest, CaptionIsTheTitleAtCreationAndVerWithoutVersionText) {
    for (const char* title : {"Kalnor", "見積電卓"}) {
        Application->SetTitle(title);
        Open([&](TAboutBox* box) {
            EXPECT_EQ(box->Caption(), AnsiString(title) + " Ver");
            EXPECT_EQ(box->windowTitle(), ToQString(title) + QStringLiteral(" Ver"));
            Application->SetTitle("later");
            EXPECT_EQ(box->Caption(), AnsiString(title) + " Ver") << "the caption is composed once, at creation";
        });
    }
}

TEST_F(AboutBoxTest, CaptionCarriesTheFileVersionOfTheRunningExecutable) {
    const AnsiString version = GetVersionText(KALNOR_EXECUTABLE, 2);
    ASSERT_FALSE(version.empty()) << "the real executable has a version block";
    SetModuleFileNameOverride(KALNOR_EXECUTABLE);
    Open([&](TAboutBox* box) { EXPECT_EQ(box->Caption(), "Kalnor Ver" + version); });
}

// ---- window and layout ----

TEST_F(AboutBoxTest, IsAFixedDialogWindowOwnedByTheMainWindow) {
    Open([&](TAboutBox* box) {
        EXPECT_EQ(box->objectName(), QStringLiteral("AboutBox"));
        EXPECT_EQ(box->parentWidget(), Form);
        EXPECT_TRUE(box->isWindow());
        EXPECT_EQ(box->windowType(), Qt::Dialog);
        EXPECT_TRUE(box->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(box->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(box->isModal());
        EXPECT_EQ(box->size(), QSize(257, 178));
        EXPECT_EQ(box->minimumSize(), QSize(257, 178));
        EXPECT_EQ(box->maximumSize(), QSize(257, 178));
        EXPECT_EQ(box->font(), LayoutFont("ＭＳ Ｐゴシック", -12, clWindowText).Face);
    });
}

TEST_F(AboutBoxTest, ControlsStandAtTheirPlacesInPaintingOrder) {
    Open([&](TAboutBox* box) {
        const struct {
            QWidget* Control;
            QRect Geometry;
        } expected[] = {
            {box->ImgAppLogo, QRect(0, 28, 257, 42)}, {box->Copyright, QRect(16, 104, 209, 17)},
            {box->Comments, QRect(16, 120, 209, 17)}, {box->ImgVorn, QRect(32, 102, 32, 32)},
            {box->OKButton, QRect(176, 144, 75, 25)},
        };
        QList<QWidget*> stacking; // bottom first
        for (QObject* child : box->children()) {
            if (child->isWidgetType()) {
                stacking.append(static_cast<QWidget*>(child));
            }
        }
        ASSERT_EQ(stacking.size(), std::size(expected));
        for (std::size_t i = 0; i < std::size(expected); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(stacking[static_cast<int>(i)], expected[i].Control);
            EXPECT_EQ(expected[i].Control->geometry(), expected[i].Geometry);
            EXPECT_TRUE(expected[i].Control->isVisible());
        }
    });
}

TEST_F(AboutBoxTest, NoticeLinesAreRightAlignedBlackAndFitOnOneLine) {
    Open([&](TAboutBox* box) {
        const struct {
            QLabel* Label;
            bool Wraps;
        } lines[] = {{box->Copyright, false}, {box->Comments, true}};
        for (const auto& line : lines) {
            SCOPED_TRACE(line.Label->objectName().toStdString());
            EXPECT_FALSE(line.Label->text().isEmpty());
            EXPECT_EQ(line.Label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
            EXPECT_EQ(line.Label->wordWrap(), line.Wraps);
            EXPECT_FALSE(line.Label->autoFillBackground());
            EXPECT_EQ(GetFont(line.Label), LayoutFont("ＭＳ Ｐゴシック", -11, clBlack));
            EXPECT_LE(line.Label->fontMetrics().horizontalAdvance(line.Label->text()), line.Label->width())
                << "a right-aligned line that overflows loses its start";
        }
        EXPECT_NE(box->Copyright->text(), box->Comments->text());
    });
}

TEST_F(AboutBoxTest, LogoIsDrawnUnscaledWithItsLeftEdgeAt72) {
    const QImage logo = Resource(":/about/logo.png");
    ASSERT_EQ(logo.size(), QSize(112, 42));
    Open([&](TAboutBox* box) {
        EXPECT_EQ(box->ImgAppLogo->pixmap().deviceIndependentSize(), QSizeF(112, 42));
        const QImage shot = Screenshot(box);
        // Everything not white in the logo's band is the logo.
        QRect drawn;
        for (int y = 28; y < 70; ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (shot.pixelColor(x, y) != White) {
                    drawn |= QRect(x, y, 1, 1);
                }
            }
        }
        EXPECT_EQ(drawn, QRect(72, 28, 112, 42));
        EXPECT_TRUE(shot.copy(72, 28, 112, 42) == logo) << "the logo's pixels are drawn as they are";
    });
}

TEST_F(AboutBoxTest, BackgroundIsWhiteAndShowsThroughTheIconsTransparentCorners) {
    const QImage icon = QImage(QStringLiteral(":/about/vorn.png"));
    ASSERT_EQ(icon.size(), QSize(32, 32));
    ASSERT_TRUE(icon.hasAlphaChannel());
    ASSERT_EQ(icon.pixelColor(0, 0).alpha(), 0);
    ASSERT_EQ(icon.pixelColor(16, 16).alpha(), 255);
    Open([&](TAboutBox* box) {
        EXPECT_TRUE(box->autoFillBackground());
        const QImage shot = Screenshot(box);
        for (const QPoint empty : {QPoint(0, 0), QPoint(256, 0), QPoint(128, 14), QPoint(4, 85), QPoint(250, 95),
                                   QPoint(8, 170), QPoint(100, 160), QPoint(256, 177)}) {
            EXPECT_EQ(shot.pixelColor(empty), White) << empty.x() << "," << empty.y();
        }
        EXPECT_EQ(shot.pixelColor(32, 102), White) << "a transparent corner of the icon";
        EXPECT_EQ(shot.pixelColor(32 + 16, 102 + 16), icon.pixelColor(16, 16).toRgb()) << "the icon's middle";
    });
}

// ---- keys and focus ----

TEST_F(AboutBoxTest, OnlyTheDefaultOKButtonTakesTheFocus) {
    Open([&](TAboutBox* box) {
        EXPECT_EQ(box->OKButton->text(), QStringLiteral("OK"));
        EXPECT_TRUE(box->OKButton->isDefault());
        EXPECT_EQ(QApplication::focusWidget(), box->OKButton);
        for (QWidget* child : box->findChildren<QWidget*>()) {
            if (child != box->OKButton) {
                EXPECT_EQ(child->focusPolicy(), Qt::NoFocus) << child->objectName().toStdString();
            }
        }
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            EXPECT_EQ(QApplication::focusWidget(), box->OKButton);
        }
    });
}

TEST_F(AboutBoxTest, EachAnswerClosesTheBoxWhichIsThenReleased) {
    const struct {
        const char* Meaning;
        std::function<void(TAboutBox*)> Answer;
        int Result;
    } answers[] = {
        {"Return on the focused button", [](TAboutBox*) { PressReturn(nullptr); }, mrOk},
        {"keypad Enter on the focused button",
         [](TAboutBox*) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier); }, mrOk},
        {"Return reaching the form itself", [](TAboutBox* box) { QTest::keyClick(box, Qt::Key_Return); }, mrOk},
        {"a click on OK", [](TAboutBox* box) { QTest::mouseClick(box->OKButton, Qt::LeftButton); }, mrOk},
        {"the close box", [](TAboutBox* box) { box->close(); }, mrCancel},
    };
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.Meaning);
        Open([](TAboutBox*) {}, answer.Answer);
        QPointer<TAboutBox> box = AboutBox;
        ASSERT_FALSE(box.isNull()) << "released, not yet deleted";
        EXPECT_EQ(box->ModalResult(), answer.Result);
        EXPECT_FALSE(box->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box.isNull());
    }
}

TEST_F(AboutBoxTest, EscapeLeavesTheBoxOpen) {
    Open([&](TAboutBox* box) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::keyClick(box, Qt::Key_Escape);
        QTest::qWait(50);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), box);
        EXPECT_EQ(box->ModalResult(), mrNone);
        EXPECT_EQ(QApplication::focusWidget(), box->OKButton);
    });
    ASSERT_NE(AboutBox, nullptr);
    EXPECT_EQ(AboutBox->ModalResult(), mrOk) << "only the Return after the Escapes closed it";
}

// ---- placement and lifetime ----

TEST_F(AboutBoxTest, OpensCentredOverTheMainWindowWhereverItStands) {
    for (const QPoint place : {QPoint(0, 0), QPoint(437, 121), QPoint(60, 533), QPoint(900, 700)}) {
        SCOPED_TRACE(place.x());
        Form->SetLeft(place.x());
        Form->SetTop(place.y());
        ASSERT_EQ(QPoint(Form->Left(), Form->Top()), place);
        Open([&](TAboutBox* box) {
            EXPECT_EQ(box->Left(), place.x() + (Form->Width() - box->Width()) / 2);
            EXPECT_EQ(box->Top(), place.y() + (Form->Height() - box->Height()) / 2);
            EXPECT_EQ(box->Width() - box->width(), Form->Width() - Form->width()) << "frames alike";
        });
    }
}

TEST_F(AboutBoxTest, EveryOpeningShowsANewBoxAndTheAnsweredOneGoes) {
    Open([](TAboutBox*) {});
    QPointer<TAboutBox> first = AboutBox;
    ASSERT_FALSE(first.isNull());
    const TAboutBox* firstAddress = first.data();
    // Still alive while the second is made, so the two cannot share an address.
    Open([&](TAboutBox* box) {
        EXPECT_NE(box, firstAddress);
        EXPECT_TRUE(first.isNull() || !first->isVisible());
    });
    QPointer<TAboutBox> second = AboutBox;
    ASSERT_FALSE(second.isNull());
    EXPECT_NE(second.data(), firstAddress);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
}

} // namespace
