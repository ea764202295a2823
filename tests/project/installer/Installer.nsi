; The smallest NSIS installer: one empty section, no pages. makensis builds it for each target the test
; names (-X"Target ...") into the file -DOUTPUT names.
Name "Recognised"
OutFile "${OUTPUT}"
RequestExecutionLevel user
SilentInstall silent
Section
SectionEnd
