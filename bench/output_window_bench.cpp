// A script that prints 100,000 lines, run from a syntax window as the user
// runs it: how long until the output window shows every line (the worker
// writes into the queue, the UI thread appends each drained batch), and
// in how many batches the window received it. Offscreen unless a platform
// is chosen.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <cstdio>

#include "shell/output_frame.h"
#include "shell/syntax_frame.h"
#include "shell/vop_app.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  constexpr int kLines = 100000;
  using namespace vop::shell;
  VopApp app(AppOptions{QString(), false, true, false});
  app.start();
  SyntaxFrame* s = app.new_syntax();
  s->set_text(QStringLiteral("for i = 1:%1\n  printf(\"line %d of the run\\n\", i)\nend\n").arg(kLines));
  s->editor()->selectAll();
  QTextDocument* doc = app.designated_output()->text_edit()->document();

  int batches = 0;
  QObject::connect(&app, &VopApp::output_drained, [&] { ++batches; });
  QElapsedTimer timer;
  timer.start();
  if (!app.run_from(*s)) return 1;
  // Every line shown: one paragraph per line and the empty last one.
  const bool done = QTest::qWaitFor([&] { return app.idle() && doc->blockCount() > kLines; }, 120000);
  const qint64 ms = timer.elapsed();
  std::printf("%d lines shown in the output window: %lld ms, %d batches%s\n", kLines,
              static_cast<long long>(ms), batches, done ? "" : " (NOT COMPLETE)");
  return done ? 0 : 1;
}
