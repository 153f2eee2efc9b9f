#include "host/common/setting_input.h"

#include <cctype>
#include <charconv>
#include <climits>

#include "core/modes.h"
#include "host/common/message_text.h"
#include "settings/settings.h"
#include "settings/setup_rows.h"

namespace host_settings {
namespace {

// The settings that no setup row shows. The setup pages keep no limits for them, so these are
// the ranges the rest of the instrument can make sense of: the four field pages, a heading in
// whole degrees, and a selected altitude up to the SET ALT pop-up's own ceiling.
struct unlisted_setting {
  int setting;
  int min;
  int max;
};
constexpr unlisted_setting kUnlisted[] = {
    {CFG_FIELD_PAGE, 0, 3},
    {CFG_HDG_BUG, 0, 359},
    {CFG_SET_ALT, 0, 25000},
};

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

const char* cfg_name_of(int setting) {
  for (int i = 0; i < setting_name_count; ++i) {
    if (setting_names[i].idx == setting) {
      return setting_names[i].name;
    }
  }
  return "?";
}

bool target_for_setting(int setting, setting_target* target, std::string* error) {
  const int row = setup_row_by_setting(setting);
  if (row >= 0) {
    *target = {setting, row, setup_rows[row].min, setup_rows[row].max, setup_rows[row].label};
    return true;
  }
  for (const unlisted_setting& u : kUnlisted) {
    if (u.setting == setting) {
      *target = {setting, -1, u.min, u.max, cfg_name_of(setting)};
      return true;
    }
  }
  *error = std::string(cfg_name_of(setting)) + " cannot be set";
  return false;
}

bool parse_whole_number(std::string_view text, long long* value) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) return false;
  }
  if (text.empty()) return false;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), *value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

std::string option_list(const setup_row_def& def) {
  std::string list;
  for (int i = 0; i < def.option_count; ++i) {
    if (i > 0) list += ", ";
    list += '"';
    list += def.options[i];
    list += '"';
  }
  return list;
}

std::string allowed_text(const setting_target& target) {
  std::string text = "allowed " + std::to_string(target.min) + ".." + std::to_string(target.max);
  if (target.row >= 0 && setup_rows[target.row].options != nullptr) {
    text += " or " + option_list(setup_rows[target.row]);
  }
  return text;
}

// Why the setup page refuses a value inside the row's limits, given the settings as they stand.
std::string refusal_reason(const setting_target& target, int value) {
  std::string text = "value " + std::to_string(value) + " for " + target.name + " is not allowed: ";
  if (target.setting == CFG_AOA_HIGH_LIM) {
    return text + "it must be at least AOA LOW LIM + 2 = " + std::to_string(cfg_get(CFG_AOA_LOW_LIM) + 2);
  }
  if (target.setting == CFG_AOA_LOW_LIM) {
    return text + "it must be at most AOA HIGH LIM - 2 = " + std::to_string(cfg_get(CFG_AOA_HIGH_LIM) - 2);
  }
  return text + "the setup page refuses it (" + allowed_text(target) + ")";
}

void write_raw(const setting_write& write) {
  if (write.target.row >= 0 && setup_rows[write.target.row].is_byte) {
    cfg_set_byte(write.target.setting, write.value);
  } else {
    cfg_set(write.target.setting, write.value);
  }
}

}  // namespace

bool find_setting(std::string_view name, setting_target* target, std::string* error) {
  name = trim(name);
  for (int i = 0; i < setting_name_count; ++i) {
    if (same_name(name, setting_names[i].name)) {
      return target_for_setting(setting_names[i].idx, target, error);
    }
  }
  for (int row = 0; row < SETUP_ROW_COUNT; ++row) {
    if (same_name(name, setup_rows[row].label)) {
      if (setup_rows[row].setting < 0) {
        *error = std::string("\"") + setup_rows[row].label + "\" is a read-only row and cannot be set";
        return false;
      }
      return target_for_setting(setup_rows[row].setting, target, error);
    }
  }
  *error = "unknown setting " + quote_text(name) +
           " (give a CFG_ name such as CFG_DEMO_MODE or a setup row label such as \"DEMO MODE\")";
  return false;
}

std::size_t match_setting_prefix(std::string_view text) {
  std::size_t best = 0;
  auto consider = [&](std::string_view name) {
    if (name.size() <= best || text.size() < name.size()) return;
    if (!same_name(text.substr(0, name.size()), name)) return;
    if (text.size() > name.size() && !std::isspace(static_cast<unsigned char>(text[name.size()]))) return;
    best = name.size();
  };
  for (int i = 0; i < setting_name_count; ++i) consider(setting_names[i].name);
  for (int row = 0; row < SETUP_ROW_COUNT; ++row) consider(setup_rows[row].label);
  return best;
}

bool parse_setting_value(const setting_target& target, std::string_view text, int* value, std::string* error) {
  text = trim(text);
  if (text.empty()) {
    *error = "missing value for " + target.name + " (" + allowed_text(target) + ")";
    return false;
  }
  long long number = 0;
  if (parse_whole_number(text, &number)) {
    if (number < target.min || number > target.max) {
      *error = "value " + std::string(text) + " for " + target.name + " is out of range (" + allowed_text(target) + ")";
      return false;
    }
    *value = static_cast<int>(number);
    return true;
  }
  if (target.row >= 0 && setup_rows[target.row].options != nullptr) {
    const setup_row_def& def = setup_rows[target.row];
    for (int i = 0; i < def.option_count; ++i) {
      if (same_name(text, def.options[i])) {
        *value = i;
        return true;
      }
    }
    *error = quote_text(text) + " is not an option of " + target.name + " (" + allowed_text(target) + ")";
    return false;
  }
  *error = quote_text(text) + " is not a whole number (" + target.name + " " + allowed_text(target) + ")";
  return false;
}

bool parse_set_option(const std::string& text, setting_write* write, std::string* error) {
  const std::string where = "--set " + quote_text(text);
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos) {
    *error = where + ": not NAME=VALUE";
    return false;
  }
  std::string why;
  write->where = where;
  if (!find_setting(text.substr(0, eq), &write->target, &why) ||
      !parse_setting_value(write->target, text.substr(eq + 1), &write->value, &why)) {
    *error = where + ": " + why;
    return false;
  }
  return true;
}

bool check_setting_writes(const std::vector<setting_write>& writes, std::string* error) {
  const settings_state saved = cfg;
  cfg_load_defaults();
  bool ok = true;
  for (const setting_write& write : writes) {
    if (write.target.row >= 0 && !setup_value_allowed(write.target.row, write.value)) {
      *error = write.where + ": " + refusal_reason(write.target, write.value);
      ok = false;
      break;
    }
    write_raw(write);
  }
  cfg = saved;
  return ok;
}

bool apply_setting_write(const setting_write& write, std::string* error) {
  if (write.target.row >= 0) {
    if (!setup_write(write.target.row, write.value)) {
      *error = write.where + ": " + refusal_reason(write.target, write.value);
      return false;
    }
    return true;
  }
  cfg_set(write.target.setting, write.value);
  // The stored page is the copy the page change keeps; the page shown moves with it, as it does
  // when the right button changes page. The heading bug and selected altitude are read once at
  // start-up, so writing them changes only the stored value.
  if (write.target.setting == CFG_FIELD_PAGE) {
    modes.field_page = write.value;
  }
  return true;
}

}  // namespace host_settings
