-- The drawing view names itself as the view it is projected from ({VIEW} is its tag, 8 bytes little-endian).
UPDATE objects SET payload = substr(payload, 1, 112) || x'{VIEW}' || substr(payload, 121) WHERE kind = 'dview';
