#include "shell/widgets/variables_panel.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "data/dataset.h"
#include "shell/widgets/dataset_variables.h"

namespace {

QList<VariableInfo> survey_variables() {
  return {
      {"SEX", "Respondent's sex", 0, {{"1", "Male"}, {"2", "Female"}}},
      {"CITY", "City", 24, {}},
      {"AGEGRP", "", 0, {{"1", "<25 years"}, {"2", "25 & over"}}},
  };
}

QString tooltip(const VariablesPanel& panel, int row, int column) {
  return panel.model()->data(panel.model()->index(row, column), Qt::ToolTipRole).toString();
}

TEST(VariablesPanel, ListsVariablesWithValueLabelTooltips) {
  VariablesPanel panel;
  panel.show_variables(survey_variables());
  ASSERT_EQ(panel.topLevelItemCount(), 3);
  EXPECT_EQ(panel.topLevelItem(0)->text(0), "SEX");
  EXPECT_EQ(panel.topLevelItem(0)->text(1), "Respondent's sex");
  EXPECT_EQ(panel.topLevelItem(0)->text(2), "Numeric");
  EXPECT_EQ(panel.topLevelItem(1)->text(0), "CITY");
  EXPECT_EQ(panel.topLevelItem(1)->text(2), "String (24)");

  for (int column = 0; column < 3; ++column) {
    const QString tip = tooltip(panel, 0, column);
    EXPECT_TRUE(tip.contains("1 = Male")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("2 = Female")) << tip.toStdString();
  }
  EXPECT_TRUE(tooltip(panel, 1, 0).isEmpty());
  // Labels show as written, not as markup.
  const QString escaped = tooltip(panel, 2, 0);
  EXPECT_TRUE(escaped.contains("1 = &lt;25 years")) << escaped.toStdString();
  EXPECT_TRUE(escaped.contains("2 = 25 &amp; over")) << escaped.toStdString();

  // A new dataset replaces the list.
  panel.show_variables({{"ID", "", 0, {}}});
  ASSERT_EQ(panel.topLevelItemCount(), 1);
  EXPECT_EQ(panel.topLevelItem(0)->text(0), "ID");
  panel.show_variables({});
  EXPECT_EQ(panel.topLevelItemCount(), 0);
}

TEST(VariablesPanel, DoubleClickHandsOnTheName) {
  VariablesPanel panel;
  panel.resize(400, 300);
  panel.show_variables(survey_variables());
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  QSignalSpy activated(&panel, &VariablesPanel::nameActivated);
  const QRect row = panel.visualItemRect(panel.topLevelItem(1));
  // A real double click: a click, then the double-click event.
  QTest::mouseClick(panel.viewport(), Qt::LeftButton, {}, row.center());
  QTest::mouseDClick(panel.viewport(), Qt::LeftButton, {}, row.center());
  ASSERT_EQ(activated.count(), 1);
  EXPECT_EQ(activated.first().first().toString(), "CITY");
}

TEST(DatasetVariables, TakesNamesLabelsWidthsAndValueLabels) {
  vop::Dataset ds;
  vop::ErrorState err;
  vop::DataVariable* sex = ds.create_variable("sex", true, err);
  vop::DataVariable* city = ds.create_variable("city", false, err);
  vop::DataVariable* note = ds.create_variable("note", false, err);
  ASSERT_TRUE(sex && city && note);
  sex->label = "Sex of respondent";
  sex->value_labels = {{1, "Male"}, {2.5, "Other"}, {-1e10, "Refused"}};
  city->string_width = 30;
  note->string_width = 0;

  const QList<VariableInfo> list = dataset_variables(ds);
  ASSERT_EQ(list.size(), 3);
  EXPECT_EQ(list[0].name, "SEX");
  EXPECT_EQ(list[0].label, "Sex of respondent");
  EXPECT_EQ(list[0].width, 0);
  const QList<QPair<QString, QString>> labels{{"1", "Male"}, {"2.5", "Other"}, {"-10000000000", "Refused"}};
  EXPECT_EQ(list[0].value_labels, labels);
  EXPECT_EQ(list[1].name, "CITY");
  EXPECT_TRUE(list[1].label.isEmpty());
  EXPECT_EQ(list[1].width, 30);
  // A string without a declared width still reads as a string.
  EXPECT_GT(list[2].width, 0);
}

}  // namespace
