#pragma once
// A main window with helpers to drive its channel list as a user does.
#include <QTest>

#include "Canvas.h"
#include "Graphics.h"
#include "Listbox.h"
#include "Main.h"
#include "PushButton.h"
#include "TestSupport.h"

class ChannelListFixture : public MainWindowTest {
protected:
    Listbox& list() { return *window().ChannelListBox(); }
    Channel& record(int id) { return *window().ChannelRecord(id); }

    void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    void AddChannels(int count) {
        for (int i = 0; i < count; ++i) Click(window().AddChannelButton());
    }
    QPoint InViewport(int row, int column) {
        const QRect cell = list().CellRect(row, column);
        return list().viewport()->mapFrom(&list(), cell.center());
    }
    void ClickRow(int row, int column = 0, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list().viewport(), Qt::LeftButton, modifiers, InViewport(row, column));
    }
    // The disclosure triangle sits in the indentation left of column 0's text.
    void ClickTriangle(int row) {
        const QPoint at(list().indentation() / 2, InViewport(row, 0).y());
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, at);
    }
    QStringList Column(int column) {
        QStringList texts;
        for (int row = 0; row < list().ListCount(); ++row) texts << list().Cell(row, column);
        return texts;
    }
    bool KillEnabled() { return window().RemoveChannelButton()->isEnabled(); }
    // Covers the canvas with a colour no painter uses, to see whether a handler draws.
    void MarkCanvas() {
        Graphics g = window().DrawZone()->Graphics();
        g.ForeColor = RGB(1, 2, 3);
        g.FillRect(0, 0, 674, 290);
    }
    void ExpectRowIdsMatchRows() {
        for (int row = 0; row < list().ListCount(); ++row) {
            const QString text = list().Cell(row, 0);
            if (!text.isEmpty()) {
                EXPECT_EQ(record(text.toInt()).RowID, row) << "row " << row;
            }
        }
    }
    // A channel row appended the way a file load or a controller does it:
    // without recording its position.
    void ListWithoutRowId(int id) {
        list().AddFolder(QString::number(id));
        record(id).Status = 1;
    }
};
