// Every record view and region accessor of the project blocks in one include.
#pragma once

#include "model/alarm_record.h"
#include "model/analog_output_record.h"
#include "model/password_entry.h"
#include "model/pid_record.h"
#include "model/process_record.h"
#include "model/program_record.h"
#include "model/project_header.h"
#include "model/record_view.h"
#include "model/relay_output_states.h"
#include "model/relay_record.h"
#include "model/setup_block.h"
#include "model/special_status_record.h"
#include "model/text_field.h"
