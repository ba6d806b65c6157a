// Wrappers of the statistics, cumulative sums, correlation, sorting and
// frequency builtins.
#include "builtins/corr.h"
#include "builtins/cumulative.h"
#include "builtins/distributions.h"
#include "builtins/freq.h"
#include "builtins/library.h"
#include "builtins/sort.h"
#include "builtins/stats.h"

namespace vop {

namespace {

// sum, csum, rsum, msum, ... : the statistic is named by the call.
Value b_statistic(Call& c) {
  const auto which = builtins::find_statistic(c.name());
  Value x = c.arg(0);
  if (!x) return {};
  Value w;
  if (c.argc() > 1 && !(w = c.arg(1))) return {};
  return result_of(builtins::statistic(*which, *x, w ? &*w : nullptr, c.err()));
}

Value b_qnorm(Call& c) {
  Value p = c.arg(0);
  return p ? result_of(builtins::normal_quantile(*p, c.err())) : Value();
}

Value b_qt(Call& c) {
  Value p = c.arg(0);
  if (!p) return {};
  Value df = c.arg(1);
  return df ? result_of(builtins::t_quantile(*p, *df, c.err())) : Value();
}

Value b_cumulative(Call& c) {
  const auto runs = builtins::find_cumulative(c.name());
  Value x = c.arg(0);
  if (!x) return {};
  if (x.owned()) return result_of(builtins::cumulative(*runs, std::move(x).take(), c.err()));
  return result_of(builtins::cumulative(*runs, *x, c.err()));
}

Value b_corr(Call& c) {
  Value x = c.arg(0), y, w;
  if (!x) return {};
  if (c.argc() > 1 && !(y = c.arg(1))) return {};
  if (c.argc() > 2 && !(w = c.arg(2))) return {};
  // The kernel reads an empty Y as "no Y" once it has checked its type.
  return result_of(builtins::corr(*x, y ? &*y : nullptr, w ? &*w : nullptr, c.err()));
}

// sorta, sortd: with no result asked for, a named X is sorted in place.
Value sort(Call& c, builtins::SortOrder order) {
  Value x = c.arg(0), k;
  if (!x) return {};
  if (c.argc() > 1 && !(k = c.arg(1))) return {};
  const Matrix* key = k ? &*k : nullptr;
  if (c.requested() == 0 && x.borrowed()) {
    const ExprNode& n = c.arg_node(0);
    Interpreter& in = c.interp();
    Matrix* var = n.kind == ExprKind::Name && !n.has_args ? in.workspace().lookup(n.text, in.error())
                                                           : nullptr;
    if (var == &*x) {
      x = Value();
      if (!builtins::sort_rows_in_place(*var, key, order, c.err(), in.cancel_token())) return {};
      return c.none();
    }
  }
  auto r = builtins::sort_rows(*x, key, order, c.err(), c.interp().cancel_token());
  if (!r) return {};
  if (c.requested() < 2) return std::move(r->sorted);
  return several(c, {&r->sorted, &r->perm});
}
Value b_sorta(Call& c) { return sort(c, builtins::SortOrder::Ascending); }
Value b_sortd(Call& c) { return sort(c, builtins::SortOrder::Descending); }

Value b_freq(Call& c) {
  Value x = c.arg(0), w;
  if (!x) return {};
  if (c.argc() > 1 && !(w = c.arg(1))) return {};
  auto r = builtins::freq(*x, w ? &*w : nullptr, c.err());
  if (!r) return {};
  if (c.requested() < 2) return std::move(r->counts);  // one result: the counts alone
  return several(c, {&r->values, &r->counts});
}

constexpr std::string_view kStats[] = {"sum", "prod", "min", "max", "mean",
                                       "range", "sd", "var", "skw", "kur"};

}  // namespace

void install_stats_builtins(BuiltinFamily& f) {
  // The family table keeps views of these names; made once, safely even
  // when interpreters are set up on several threads.
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (std::string_view s : kStats)
      for (const char* prefix : {"", "c", "r", "m"}) all.push_back(prefix + std::string(s));
    return all;
  }();
  for (const std::string& n : names) f.add({n, 1, n[0] == 'r' && n != "range" ? 1 : 2, 1, b_statistic});
  for (std::string_view n : {"cum", "ccum", "rcum", "mcum"}) f.add({n, 1, 1, 1, b_cumulative});
  f.add({
      {"corr", 1, 3, 1, b_corr},
      {"sorta", 1, 2, 2, b_sorta},
      {"sortd", 1, 2, 2, b_sortd},
      {"freq", 1, 2, 2, b_freq},
      {"qnorm", 1, 1, 1, b_qnorm},
      {"qt", 2, 2, 1, b_qt},
  });
}

}  // namespace vop
