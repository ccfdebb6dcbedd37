# Joins the files of IN (separated by "|") into OUT, each followed by a line break.
string(REPLACE "|" ";" files "${IN}")
file(WRITE ${OUT} "")
foreach(f ${files})
  file(READ ${f} text)
  file(APPEND ${OUT} "${text}\n")
endforeach()
