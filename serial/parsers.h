// The two line parsers of the serial input: LK1 records and NMEA 0183 sentences. Each takes one
// complete line (with its CR, when it ended with one) and writes the GPS navigation data block
// and its ages; neither reads past the line's length.
#pragma once

// What a line did. The caller counts rejections and runs the track stabilisation restarts.
struct line_result {
  bool used = false;           // a known record or sentence, taken
  bool bad_checksum = false;   // carried "*hh" that did not match; nothing changed
  bool restart_track = false;  // a new track sample: restart the track stabilisation
};

line_result lk1_record_parse(const char* line, int length);
line_result nmea_sentence_parse(const char* line, int length);
