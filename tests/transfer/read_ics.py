# SPDX-License-Identifier: GPL-3.0-or-later
# A second reader for the calendar files Vespelinda writes: the icalendar module, not libical.
# Prints one line per event: "A|day|hh:mm|text" for an appointment, "R|hh:mm|text" for a daily
# reminder (times on the clock of the zone named by the TZ variable), and "ALARM|text" for each
# display alarm. Exits 2 when the icalendar module is missing.
import os
import sys
from datetime import datetime

try:
    import icalendar
except ImportError:
    sys.exit(2)
from zoneinfo import ZoneInfo

here = ZoneInfo(os.environ.get("TZ", "Europe/Rome"))
with open(sys.argv[1], "rb") as f:
    calendar = icalendar.Calendar.from_ical(f.read())
for event in calendar.walk("VEVENT"):
    start = event.decoded("dtstart")
    if isinstance(start, datetime) and start.tzinfo is not None:
        start = start.astimezone(here)
    text = str(event.get("summary"))
    rule = event.get("rrule")
    if rule is not None and rule.get("FREQ") == ["DAILY"]:
        print("R|%s|%s" % (start.strftime("%H:%M"), text))
    else:
        print("A|%s|%s" % (start.strftime("%Y-%m-%d|%H:%M"), text))
    for alarm in event.walk("VALARM"):
        if str(alarm.get("action")) == "DISPLAY" and alarm.get("trigger") is not None:
            print("ALARM|%s" % alarm.get("description"))
