-- The work view's right direction becomes (1e300, 1e300, 0): its squares overflow, and normalising it gives no length.
UPDATE states SET work_view = x'9C7500883CE4377E9C7500883CE4377E0000000000000000' || substr(work_view, 25)
WHERE role = 'current';
