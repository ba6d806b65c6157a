// vop-run's `--syntax-generator FILE`: the Excel syntax generator workbook
// for the dataset opened with --data, written after the runs (so that
// variables the scripts made are listed too).
#pragma once

#include <string>
#include <vector>

#include "office/syntax_generator.h"

namespace vop {

class Dataset;

// The numeric variables of `data` in dataset order, with their positions
// (from 1, counting every variable), labels, names and value labels.
std::vector<GeneratorVariable> generator_variables(const Dataset& data);

// Writes the generator for `data` to `path`, with the header file
// `<program_dir>/Syntax/generator_header.txt` when there is one, and prints
// the path. False with a message on stderr when it could not be written.
bool write_generator(const std::string& path, const Dataset& data, const std::string& program_dir);

}  // namespace vop
