// SPDX-License-Identifier: GPL-3.0-or-later
#include "BordAccessible.h"

#include "BordGrid.h"
#include "GameController.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QHash>
#include <QPointer>

namespace {

QString Translated(const char* Text) {
  return QCoreApplication::translate("TBordGrid", Text);
}

// One cell; it holds no state but where it is, and reads the board
// whenever asked.
class TCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
  TCellAccessible(TBordGrid* Grid, int Row, int Col) : FGrid(Grid), FRow(Row), FCol(Col) {}

  bool isValid() const override {
    return FGrid && FRow < FGrid->RowCount() && FCol < FGrid->ColCount();
  }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return FGrid ? FGrid->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(FGrid.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text Kind) const override {
    return Kind == QAccessible::Name && isValid() ? FGrid->CellDescription(FRow, FCol) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid())
      return {};
    const QRect Cell = FGrid->CellRect(FCol, FRow);
    return QRect(FGrid->mapToGlobal(Cell.topLeft()), Cell.size());
  }
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override {
    QAccessible::State State;
    State.focusable = true;
    State.focused = isValid() && FGrid->hasFocus() && FGrid->KeyFrameShown() &&
                    FGrid->KeyRow() == FRow && FGrid->KeyCol() == FCol;
    return State;
  }
  void* interface_cast(QAccessible::InterfaceType Type) override {
    return Type == QAccessible::TableCellInterface
               ? static_cast<QAccessibleTableCellInterface*>(this)
               : nullptr;
  }

  bool isSelected() const override { return false; }
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return FCol; }
  int rowIndex() const override { return FRow; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

private:
  QPointer<TBordGrid> FGrid;
  int FRow;
  int FCol;
};

// The board as a table. Its cells are made on first demand and stay
// registered with Qt's cache, under their ids, until the table goes.
class TBordAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
  explicit TBordAccessible(TBordGrid* Grid) : QAccessibleWidget(Grid, QAccessible::Table) {}
  ~TBordAccessible() override {
    for (const QAccessible::Id Id : std::as_const(FCells))
      QAccessible::deleteAccessibleInterface(Id);
  }

  void* interface_cast(QAccessible::InterfaceType Type) override {
    return Type == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                               : QAccessibleWidget::interface_cast(Type);
  }
  QString text(QAccessible::Text Kind) const override {
    if (Kind == QAccessible::Name)
      return Translated("Board");
    return QAccessibleWidget::text(Kind);
  }
  int childCount() const override { return rowCount() * columnCount(); }
  QAccessibleInterface* child(int Index) const override {
    return Index >= 0 && Index < childCount() ? cellAt(Index / columnCount(), Index % columnCount())
                                              : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* Child) const override {
    const QAccessibleTableCellInterface* Cell =
        Child ? const_cast<QAccessibleInterface*>(Child)->tableCellInterface() : nullptr;
    if (!Cell || Child->parent() != this)
      return -1;
    return Cell->rowIndex() * columnCount() + Cell->columnIndex();
  }
  QAccessibleInterface* childAt(int X, int Y) const override {
    int Col = 0;
    int Row = 0;
    return Grid()->MouseToCell(Grid()->mapFromGlobal(QPoint(X, Y)), Col, Row) ? cellAt(Row, Col)
                                                                              : nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    return Grid()->hasFocus() && Grid()->KeyFrameShown()
               ? cellAt(Grid()->KeyRow(), Grid()->KeyCol())
               : nullptr;
  }

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int Row, int Col) const override {
    if (Row < 0 || Col < 0 || Row >= rowCount() || Col >= columnCount())
      return nullptr;
    const int Key = Row * 256 + Col;
    if (const auto Found = FCells.constFind(Key); Found != FCells.constEnd())
      return QAccessible::accessibleInterface(*Found);
    auto* Cell = new TCellAccessible(Grid(), Row, Col);
    FCells.insert(Key, QAccessible::registerAccessibleInterface(Cell));
    return Cell;
  }
  int selectedCellCount() const override { return 0; }
  QList<QAccessibleInterface*> selectedCells() const override { return {}; }
  QString columnDescription(int Col) const override { return Translated("Column %1").arg(Col + 1); }
  QString rowDescription(int Row) const override { return Translated("Row %1").arg(Row + 1); }
  int columnCount() const override { return Grid()->ColCount(); }
  int rowCount() const override { return Grid()->RowCount(); }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return 0; }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return {}; }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int) const override { return false; }
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
  TBordGrid* Grid() const { return static_cast<TBordGrid*>(widget()); }
  // Row * 256 + Col -> the cell's id in Qt's cache.
  mutable QHash<int, QAccessible::Id> FCells;
};

} // namespace

QAccessibleInterface* BordAccessibleFactory(const QString&, QObject* Object) {
  if (auto* Grid = qobject_cast<TBordGrid*>(Object))
    return new TBordAccessible(Grid);
  return nullptr;
}
