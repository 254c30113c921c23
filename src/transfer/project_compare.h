// Comparing a section of the project with the same section read from the controller: names as
// texts without leading and trailing blanks (letter case counts), doubles as numbers, every
// other compared field by its value; the first record that differs decides, and the first
// differing field of it is reported with both values.
#pragma once

#include <optional>

#include "model/blocks.h"
#include "link/analog_output_transactions.h"
#include "transfer/project_rows.h"

namespace qdx {

// The project's section (project, projectPid) against the controller's (controller,
// controllerPid). Analog outputs compare the fields their wire layout carries: the output's
// own PID values in the legacy layout, the PID number in the current one.
std::optional<FieldDifference> CompareSection(ProjectRow row, const ProjectImage& project,
                                              const PidTable& projectPid,
                                              const ProjectImage& controller,
                                              const PidTable& controllerPid,
                                              AnalogOutputLayout layout, int codePageIndex);

// The 37 password entries as the passwords window sends them (the project's side, normalised
// by NormalisedPasswordEntry) against the entries read from the controller.
std::optional<FieldDifference> ComparePasswords(const PasswordBlock& project,
                                                const PasswordBlock& controller);

}  // namespace qdx
