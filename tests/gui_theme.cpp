// The desk's one look: its colours read against each other, and the window
// wears them, the library's marks with their legend and hint included.
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>

#include "gui_fixture.h"
#include "platform/ui/desk_theme.h"

TEST(DeskTheme, TextsAndMarksReadOnTheirGrounds) {
  const DeskColours& c = DeskTheme();
  EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(c.base, c.base), 1.0, 1e-9);
  const struct {
    const char* what;
    QColor ink, ground;
  } pairs[] = {
      {"text on the cells", c.text, c.base},
      {"text on the fixed cells", c.text, c.fixedCell},
      {"text on the window", c.text, c.window},
      {"text on a button", c.text, c.button},
      {"selected text", c.highlightedText, c.highlight},
      {"notes on the chosen cell", c.text, c.highlight},
      {"red name in a list", c.red, c.base},
      {"lime name in a list", c.lime, c.base},
      {"silver name in a list", c.silver, c.base},
      {"red heading", c.red, c.fixedCell},
      {"lime heading", c.lime, c.fixedCell},
      {"grey sound name", c.grey, c.fixedCell},
      {"red number of the formula to add", c.red, c.toAdd},
      {"lime number of the formula to add", c.lime, c.toAdd},
      {"solo down", c.highlightedText, c.soloDown},
      {"mute down", c.highlightedText, c.muteDown},
      {"red legend on the panel", c.red, c.panel},
      {"lime sound memory label on the panel", c.lime, c.panel},
  };
  for (const auto& p : pairs) EXPECT_GE(ContrastRatio(p.ink, p.ground), 4.5) << p.what;
  // What cannot be used now still reads, yet plainly less than what can.
  const double disabled = ContrastRatio(c.disabledText, c.disabledGround);
  EXPECT_GE(disabled, 2.5);
  EXPECT_LT(disabled, ContrastRatio(c.text, c.button) / 2);
  // The selection and the fixed cells stand apart from the cells.
  EXPECT_GE(ContrastRatio(c.highlight, c.base), 1.5);
  EXPECT_NE(c.fixedCell, c.base);
}

TEST(DeskTheme, ThePaletteCarriesTheColours) {
  const DeskColours& c = DeskTheme();
  const QPalette p = DeskPalette();
  EXPECT_EQ(p.color(QPalette::Active, QPalette::Base), c.base);
  EXPECT_EQ(p.color(QPalette::Active, QPalette::Text), c.text);
  EXPECT_EQ(p.color(QPalette::Active, QPalette::Highlight), c.highlight);
  EXPECT_EQ(p.color(QPalette::Active, QPalette::Button), c.button);
  EXPECT_EQ(p.color(QPalette::Active, QPalette::Mid), c.gridLine);
  EXPECT_EQ(p.color(QPalette::Inactive, QPalette::Highlight), c.highlight);  // a selection shows unfocused too
  for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    EXPECT_EQ(p.color(QPalette::Disabled, r), c.disabledText) << r;
  EXPECT_EQ(p.color(QPalette::Disabled, QPalette::Button), c.disabledGround);
  // The solo and mute buttons: the same frame up and down, the mark's colour down.
  EXPECT_NE(MarkedButtonStyle(true, c.soloDown), MarkedButtonStyle(false, c.soloDown));
  EXPECT_TRUE(MarkedButtonStyle(true, c.soloDown).contains(c.soloDown.name()));
  EXPECT_EQ(MarkedButtonStyle(false, c.soloDown), MarkedButtonStyle(false, c.muteDown));
}

// The window's grids, lists and buttons take the theme; the library's red
// names have their legend, in red, and a hint naming the three colours, in
// the language in force.
TEST_F(WindowTest, TheDeskWearsTheThemeAndExplainsTheLibrarysColours) {
  Start();
  const DeskColours& c = DeskTheme();
  for (QWidget* w : std::initializer_list<QWidget*>{form->SGTemas, form->SGDatosFormula, form->LBIns, form->LBwavs}) {
    EXPECT_EQ(w->palette().color(QPalette::Base), c.base) << w->objectName().toStdString();
    EXPECT_EQ(w->palette().color(QPalette::Text), c.text) << w->objectName().toStdString();
  }
  EXPECT_EQ(form->SGTemas->item(0, 1)->background().color(), c.fixedCell);
  EXPECT_EQ(form->SGTemas->item(0, 1)->foreground().color(), c.text);
  EXPECT_EQ(form->TapaRec->palette().color(QPalette::Disabled, QPalette::ButtonText), c.disabledText);

  auto* legend = form->PanelSonidos->findChild<QLabel*>("LeyendaBanco");
  ASSERT_NE(legend, nullptr);
  EXPECT_TRUE(legend->styleSheet().contains(c.red.name()));
  // Under the chart, inside the panel.
  EXPECT_GE(legend->y(), form->OscSonidos->geometry().bottom());
  EXPECT_TRUE(form->PanelSonidos->rect().contains(legend->geometry()));
  for (bool english : {true, false}) {
    (english ? form->Ingls1 : form->Espaol1)->trigger();
    EXPECT_TRUE(legend->text().startsWith(english ? "In red:" : "En rojo:")) << legend->text().toStdString();
    const QString hint = form->LBwavs->toolTip();
    const QStringList words = english ? QStringList{"Red", "Green", "Grey"} : QStringList{"Rojo", "Verde", "Gris"};
    for (const QString& word : words) EXPECT_TRUE(hint.contains(word)) << word.toStdString();
  }
}
