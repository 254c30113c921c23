// Every record view and region accessor of the project blocks in one include.
#pragma once

#include "config/alarm_record.h"
#include "config/analog_output_record.h"
#include "config/password_entry.h"
#include "config/pid_record.h"
#include "config/process_record.h"
#include "config/program_record.h"
#include "config/project_header.h"
#include "config/record_view.h"
#include "config/relay_output_states.h"
#include "config/relay_record.h"
#include "config/setup_block.h"
#include "config/special_status_record.h"
#include "config/text_field.h"
