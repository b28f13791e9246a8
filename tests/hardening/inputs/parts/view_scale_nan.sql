-- The drawing view's scale becomes a NaN.
UPDATE objects SET payload = substr(payload, 1, 88) || x'000000000000F87F' || substr(payload, 97) WHERE kind = 'dview';
