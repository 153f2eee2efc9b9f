// Field ids of the data-field catalogue, with the names the field editor shows.
#pragma once

enum : int {
  FIELD_NONE = 0,
  FIELD_MAIN_GPS_TRACK = 1,
  FIELD_MAIN_DG_HEADING = 2,
  FIELD_HDG_ROSE = 4,
  FIELD_GPS_HSI = 5,
  FIELD_GPS_ARC = 6,
  FIELD_IAS = 9,
  FIELD_BARO_ALT = 10,
  FIELD_AOA = 11,
  FIELD_V_TREND = 12,
  FIELD_G_LOAD_LEFT = 13,
  FIELD_G_LOAD_RIGHT = 14,
  FIELD_HDG = 15,
  FIELD_BUS_VOLTS = 16,
  FIELD_SET_ALT = 17,
  FIELD_VERT_SPD = 18,
  FIELD_GLOAD = 19,
  FIELD_OAT = 21,
  FIELD_TAS = 22,
  FIELD_DALT = 23,
  FIELD_GPS_WPT = 24,
  FIELD_GPS_DIST = 25,
  FIELD_GPS_GS = 26,
  FIELD_GPS_TRK = 27,
  FIELD_GPS_XTE = 28,
  FIELD_GPS_DTRK = 29,
  FIELD_GPS_BRG = 30,
  FIELD_BARO = 31,
};
inline constexpr int FIELD_ID_COUNT = 32;

// The editor label of each id; nullptr for the ids that have no field (3, 7, 8, 20).
extern const char* const field_editor_labels[FIELD_ID_COUNT];

// The FIELD_ names of the ids, for the state snapshots; nullptr for the ids that have no field.
extern const char* const field_id_names[FIELD_ID_COUNT];
