-- A layer state past the four the host knows.
UPDATE layers SET status = 256 WHERE layer = 6;
